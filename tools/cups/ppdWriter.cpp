#include "ppdWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "pdfPrintOption.h"
#include "ppdOptions.h"
#include "rasterGeometry.h"
#include "tavix/version.h"

namespace tavix::cups {
namespace {

// Points with at most two decimals, locale-independent ("14.18", "2592").
std::string points(double inches) {
    double value = inches * POINTS_PER_INCH;
    long hundredths = static_cast<long>(value * 100.0 + (value >= 0 ? 0.5 : -0.5));
    std::string text = std::to_string(hundredths / 100);
    long frac = hundredths % 100;
    if (frac < 0) frac = -frac;
    if (frac != 0) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02ld", frac);
        std::string f = digits;
        if (f.back() == '0') f.pop_back();
        text += "." + f;
    }
    return text;
}

// "TX-90-TAVIX E" -> "tx90", "TX Series TAVIX E" -> "txseries".
std::string shortName(const std::string& name) {
    std::string base = name;
    const std::string suffix = "TAVIX E";
    if (base.size() >= suffix.size() && base.compare(base.size() - suffix.size(), suffix.size(), suffix) == 0)
        base.erase(base.size() - suffix.size());
    std::string out;
    for (char c : base)
        if (std::isalnum(static_cast<unsigned char>(c))) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

class PpdText {
public:
    void line(const std::string& text) { out_ += text + "\n"; }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

void writeHeader(PpdText& ppd, const ModelProfile& p) {
    ppd.line("*PPD-Adobe: \"4.3\"");
    ppd.line("*% TAVIXDRV for the " + p.name + ", generated from the driver's tables.");
    ppd.line("*FormatVersion: \"4.3\"");
    ppd.line("*FileVersion: \"" TAVIX_VERSION "\"");
    ppd.line("*LanguageVersion: English");
    ppd.line("*LanguageEncoding: ISOLatin1");
    ppd.line("*PCFileName: \"tavix" + std::to_string(p.index) + ".ppd\"");
    ppd.line("*Manufacturer: \"TAVIX\"");
    ppd.line("*Product: \"(" + p.name + ")\"");
    ppd.line("*ModelName: \"" + p.name + "\"");
    ppd.line("*ShortNickName: \"" + p.name + "\"");
    ppd.line("*NickName: \"" + p.name + ", TAVIXDRV " TAVIX_VERSION "\"");
    ppd.line("*PSVersion: \"(3010.000) 0\"");
    ppd.line("*LanguageLevel: \"3\"");
    ppd.line("*ColorDevice: True");
    ppd.line("*DefaultColorSpace: RGB");
    ppd.line("*FileSystem: False");
    ppd.line("*Throughput: \"1\"");
    // A landscape page is turned clockwise onto the portrait page: its top
    // then lies at the end of every raster row, which the filter plots at
    // the plot area's far Y edge, and its left edge in the first row, at
    // X = 0. The plot so holds the page upright as the host plots a
    // landscape drawing; Plus90 would print it upside down.
    ppd.line("*LandscapeOrientation: Minus90");
    ppd.line("*TTRasterizer: Type42");
    ppd.line("*cupsVersion: 2.4");
    ppd.line("*cupsModelNumber: " + std::to_string(p.index));
    // The driver makes the copies itself (job ticket and replot).
    ppd.line("*cupsManualCopies: False");
    // PDFs print as vectors through pdftotavix, at a cost below CUPS's
    // own chain to the raster (pdftopdf 66, gstoraster 99); every other
    // document takes the raster chain.
    ppd.line("*cupsFilter2: \"application/vnd.cups-raster application/vnd.tavix-plotter 0 rastertotavix\"");
    ppd.line("*cupsFilter2: \"application/pdf application/vnd.tavix-plotter 10 pdftotavix\"");
    int defaultDpi = rasterDpi(queueDefaults(p));
    ppd.line("*DefaultResolution: " + std::to_string(defaultDpi) + "dpi");
}

void writePaperOption(PpdText& ppd, const ModelProfile& p, const std::string& keyword) {
    const PaperChoice& first = p.papers.front();
    ppd.line("*OpenUI *" + keyword + "/" + (keyword == "PageSize" ? "Paper" : "Paper region") + ": PickOne");
    ppd.line("*OrderDependency: 10 AnySetup *" + keyword);
    ppd.line("*Default" + keyword + ": " + first.keyword);
    for (const PaperChoice& paper : p.papers)
        ppd.line("*" + keyword + " " + paper.keyword + "/" + paper.text + ": \"<</PageSize[" +
                 points(paper.widthInches) + " " + points(paper.lengthInches) +
                 "]/ImagingBBox null>>setpagedevice\"");
    ppd.line("*CloseUI: *" + keyword);
}

void writePapers(PpdText& ppd, const ModelProfile& p) {
    writePaperOption(ppd, p, "PageSize");
    writePaperOption(ppd, p, "PageRegion");
    const double* m = p.margins;
    ppd.line("*DefaultImageableArea: " + p.papers.front().keyword);
    for (const PaperChoice& paper : p.papers)
        ppd.line("*ImageableArea " + paper.keyword + "/" + paper.text + ": \"" + points(m[2]) + " " +
                 points(m[0]) + " " + points(paper.widthInches - m[3]) + " " +
                 points(paper.lengthInches - m[1]) + "\"");
    ppd.line("*DefaultPaperDimension: " + p.papers.front().keyword);
    for (const PaperChoice& paper : p.papers)
        ppd.line("*PaperDimension " + paper.keyword + "/" + paper.text + ": \"" + points(paper.widthInches) +
                 " " + points(paper.lengthInches) + "\"");

    // The long and roll papers: any length up to the longest, across the
    // roll up to its width; the filter picks the shortest that holds the page.
    double width = 0, length = 0;
    for (const PaperChoice& roll : p.rolls) {
        width = std::max(width, roll.widthInches);
        length = std::max(length, roll.lengthInches);
    }
    if (p.rolls.empty()) return;
    ppd.line("*VariablePaperSize: True");
    ppd.line("*MaxMediaWidth: \"" + points(width) + "\"");
    ppd.line("*MaxMediaHeight: \"" + points(length) + "\"");
    ppd.line("*HWMargins: " + points(m[2]) + " " + points(m[0]) + " " + points(m[3]) + " " + points(m[1]));
    ppd.line("*CustomPageSize True: \"pop pop pop <</PageSize[5 -2 roll]/ImagingBBox null>>setpagedevice\"");
    ppd.line("*ParamCustomPageSize Width: 1 points " + points(MIN_CUSTOM_INCHES) + " " + points(width));
    ppd.line("*ParamCustomPageSize Height: 2 points " + points(MIN_CUSTOM_INCHES) + " " + points(length));
    ppd.line("*ParamCustomPageSize WidthOffset: 3 points 0 0");
    ppd.line("*ParamCustomPageSize HeightOffset: 4 points 0 0");
    ppd.line("*ParamCustomPageSize Orientation: 5 int 0 0");
}

// The raster CUPS makes for each colour choice: 8-bit gray at the driver's
// monochrome resolution or 8-bit RGB at its colour resolution.
std::string colourCode(int value) {
    PlotSettings s{};
    s.set(flags::colorMode, value != 0);
    std::string dpi = std::to_string(rasterDpi(s));
    return std::string("<</cupsColorSpace ") + (value ? "1" : "0") +
           "/cupsColorOrder 0/cupsBitsPerColor 8/HWResolution[" + dpi + " " + dpi + "]>>setpagedevice";
}

// How a PDF prints: the filter's own choice, not a settings block field.
void writePdfPrintOption(PpdText& ppd, int order) {
    const std::string k = PDF_PRINT_OPTION;
    ppd.line("*OpenGroup: PDF");
    ppd.line("*OpenUI *" + k + "/PDF printed as: PickOne");
    ppd.line("*OrderDependency: " + std::to_string(order) + " AnySetup *" + k);
    ppd.line("*Default" + k + ": " + PDF_AS_VECTORS);
    ppd.line("*" + k + " " + PDF_AS_VECTORS + "/Vectors (lines with their pens and widths): \"\"");
    ppd.line("*" + k + " " + PDF_AS_RASTER + "/Raster (a picture of the page): \"\"");
    ppd.line("*CloseUI: *" + k);
    ppd.line("*CloseGroup: PDF");
}

void writeOptions(PpdText& ppd, const ModelProfile& p) {
    std::string group;
    int order = 20;
    const PlotSettings defaults = queueDefaults(p);
    for (const PrinterOption& option : printerOptions(p)) {
        if (option.group != group) {
            if (!group.empty()) ppd.line("*CloseGroup: " + group);
            group = option.group;
            ppd.line("*OpenGroup: " + group);
        }
        const OptionChoice* def = choiceFor(option, defaults);
        ppd.line("*OpenUI *" + option.keyword + "/" + option.text + ": PickOne");
        ppd.line("*OrderDependency: " + std::to_string(order++) + " AnySetup *" + option.keyword);
        ppd.line("*Default" + option.keyword + ": " + (def ? def->keyword : option.choices.front().keyword));
        for (const OptionChoice& choice : option.choices) {
            std::string code = option.setting == Setting::ColorMode ? colourCode(choice.value) : "";
            ppd.line("*" + option.keyword + " " + choice.keyword + "/" + choice.text + ": \"" + code + "\"");
        }
        ppd.line("*CloseUI: *" + option.keyword);
    }
    if (!group.empty()) ppd.line("*CloseGroup: " + group);
    writePdfPrintOption(ppd, order);
}

}  // namespace

std::string ppdFileName(const ModelProfile& profile) { return "tavix-" + shortName(profile.name) + ".ppd"; }

std::string writePpd(const ModelProfile& profile) {
    PpdText ppd;
    writeHeader(ppd, profile);
    writePapers(ppd, profile);
    writeOptions(ppd, profile);
    ppd.line("*% End of " + ppdFileName(profile));
    return ppd.take();
}

}  // namespace tavix::cups
