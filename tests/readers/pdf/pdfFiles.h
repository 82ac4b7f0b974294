// Small PDFs written out by hand for the reader's tests: one page of the
// given content stream, with a correct cross-reference table, so every
// coordinate on the page is known without any PDF library.
#pragma once

#include <cstdio>
#include <string>

namespace tavix::pdf::testing {

struct PageParts {
    std::string content;               // the page's content stream
    std::string mediaBox = "0 0 595 842";
    std::string pageExtra;             // more entries of the page dictionary
    std::string trailerExtra;          // more entries of the trailer
    std::string extraObject;           // object 5, when given
};

// A page of `content`, optionally its media box and more of its dictionary.
PageParts page(std::string content, std::string mediaBox = "0 0 595 842", std::string pageExtra = "");

// The whole file of a one-page PDF (or, with `pages` 0, one with no pages).
std::string onePagePdf(const PageParts& parts, int pages = 1);

// `bytes` in an anonymous temporary file, read from its start.
std::FILE* fileOf(const std::string& bytes);

}  // namespace tavix::pdf::testing
