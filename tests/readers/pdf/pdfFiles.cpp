#include "pdfFiles.h"

#include <vector>

namespace tavix::pdf::testing {

PageParts page(std::string content, std::string mediaBox, std::string pageExtra) {
    PageParts parts;
    parts.content = std::move(content);
    parts.mediaBox = std::move(mediaBox);
    parts.pageExtra = std::move(pageExtra);
    return parts;
}

std::string onePagePdf(const PageParts& parts, int pages) {
    std::vector<std::string> objects;
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back(pages > 0 ? "<< /Type /Pages /Kids [3 0 R] /Count 1 >>" : "<< /Type /Pages /Kids [] /Count 0 >>");
    objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [" + parts.mediaBox + "] /Contents 4 0 R " +
                      parts.pageExtra + " >>");
    objects.push_back("<< /Length " + std::to_string(parts.content.size()) + " >>\nstream\n" + parts.content +
                      "\nendstream");
    if (!parts.extraObject.empty()) objects.push_back(parts.extraObject);
    std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R " + parts.trailerExtra +
           " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

std::FILE* fileOf(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    return f;
}

}  // namespace tavix::pdf::testing
