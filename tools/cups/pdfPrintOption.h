// The PPD option that chooses how a PDF prints: as vectors through
// pdftotavix (the default), or as a picture through CUPS's own PDF and
// raster filters and rastertotavix, for pages the vectors cannot carry.
#pragma once

namespace tavix::cups {

constexpr char PDF_PRINT_OPTION[] = "TavixPdfPrint";
constexpr char PDF_AS_VECTORS[] = "Vectors";
constexpr char PDF_AS_RASTER[] = "Raster";

}  // namespace tavix::cups
