#include "pdfDocument.h"

#include <ErrorCodes.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <Page.h>
#include <Stream.h>
#include <goo/gfile.h>

#include <unistd.h>

#include <cmath>
#include <mutex>

namespace tavix::pdf {
namespace {

// Poppler writes what it repairs or skips to standard error; the plot
// reports in its own words.
void quiet(ErrorCategory, Goffset, const char*) {}

void startPoppler() {
    static std::once_flag once;
    std::call_once(once, [] {
        globalParams = std::make_unique<GlobalParams>();
        setErrorCallback(quiet);
    });
}

std::string reasonFor(int code) {
    switch (code) {
        case errEncrypted:
            return "the PDF is encrypted and needs a password to open: save an unprotected copy from the program "
                   "that shows it (print to PDF) and plot that";
        case errDamaged:
        case errBadCatalog:
            return "the PDF is damaged beyond repair (its cross-reference table and objects cannot be read)";
        case errOpenFile: return "the PDF cannot be read";
        default: return "the PDF cannot be read (poppler error " + std::to_string(code) + ")";
    }
}

}  // namespace

bool looksLikePdf(std::string_view head) { return head.substr(0, 1024).find("%PDF-") != std::string_view::npos; }

OpenPdf::OpenPdf() = default;
OpenPdf::~OpenPdf() { doc.reset(); }

std::unique_ptr<OpenPdf> openPdf(std::FILE* file, std::string& error) {
    startPoppler();
    std::fflush(file);
    // Poppler reads through a descriptor of its own, from the start.
    int fd = dup(fileno(file));
    auto open = std::make_unique<OpenPdf>();
    if (fd >= 0) open->file = GooFile::open(fd);
    if (!open->file) {
        if (fd >= 0) close(fd);
        error = "the PDF cannot be read";
        return nullptr;
    }
    GooFile* raw = open->file.get();
    open->doc = std::make_unique<PDFDoc>(new FileStream(raw, 0, false, raw->size(), Object(objNull)));
    if (!open->doc->isOk()) {
        error = reasonFor(open->doc->getErrorCode());
        return nullptr;
    }
    if (open->doc->getNumPages() <= 0) {
        error = "the PDF has no pages: there is nothing to plot";
        return nullptr;
    }
    return open;
}

PageSize pageSize(PDFDoc& doc, int number) {
    PageSize size;
    Page* page = doc.getPage(number);
    if (page == nullptr) return size;
    Object dict = page->getRef() != Ref::INVALID() ? doc.getXRef()->fetch(page->getRef()) : Object(objNull);
    if (dict.isDict()) {
        Object unit = dict.dictLookup("UserUnit");
        if (unit.isNum() && unit.getNum() > 0 && std::isfinite(unit.getNum())) size.userUnit = unit.getNum();
    }
    double w = page->getCropWidth() * size.userUnit, h = page->getCropHeight() * size.userUnit;
    bool turned = page->getRotate() % 180 != 0;
    size.width = turned ? h : w;
    size.height = turned ? w : h;
    return size;
}

int pageCount(OpenPdf& pdf) { return pdf.doc->getNumPages(); }

PageSize pageSize(OpenPdf& pdf, int page) { return pageSize(*pdf.doc, page); }

}  // namespace tavix::pdf
