// Opening a PDF with poppler, with a plain reason when it cannot be plotted:
// not a PDF, damaged beyond repair, encrypted, no pages.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

class GooFile;
class PDFDoc;

namespace tavix::pdf {

// A PDF by its content: "%PDF-" in the first kilobyte, where readers look
// for it (some programs write a few bytes before it).
bool looksLikePdf(std::string_view head);

// A document and the descriptor poppler reads it through (the document
// goes first: its stream reads the file to the end).
struct OpenPdf {
    std::unique_ptr<GooFile> file;
    std::unique_ptr<PDFDoc> doc;
    OpenPdf();
    ~OpenPdf();
};

// The document of `file` (read from its start; the file stays the
// caller's). Null with the reason when poppler cannot open it or it has no
// pages. Poppler's own complaints are kept from standard error.
std::unique_ptr<OpenPdf> openPdf(std::FILE* file, std::string& error);

// What a page shows, in points, its /Rotate and /UserUnit applied.
struct PageSize {
    double width = 0, height = 0;
    double userUnit = 1;  // points per unit of the page's user space
};
PageSize pageSize(PDFDoc& doc, int page);

// The same for callers that see no poppler type.
int pageCount(OpenPdf& pdf);
PageSize pageSize(OpenPdf& pdf, int page);

}  // namespace tavix::pdf
