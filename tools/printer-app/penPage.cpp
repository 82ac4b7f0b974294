#include "penPage.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tavix/driverState.h"
#include "tavix/penSettingsFile.h"
#include "tavix/plotSettings.h"
#include "tavix/settingsDefaults.h"
#include "tavixDriver.h"

namespace tavix::printerapp {
namespace {

constexpr double WIDTH_MAX_MM = 25.4;  // as the pen settings file takes them
constexpr int GRAY_MAX = 100;

// Runs `work` in the printer's folder with the driver's pen data loaded
// from its pen file (or the defaults), holding the driver core: the
// driver reads and writes its pen file in the working folder.
template <typename Work>
bool withPrinterPens(pappl_printer_t* printer, Work work) {
    std::lock_guard<std::mutex> lock(coreMutex());
    int previous = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::string folder = printerFolder(printer);
    bool ok = previous >= 0 && chdir(folder.c_str()) == 0;
    if (ok) {
        if (readPenSettingsFile() != 0) applyPenDefaults();
        ok = work();
    }
    if (previous >= 0) {
        if (fchdir(previous) != 0) ok = false;
        close(previous);
    }
    return ok;
}

bool parseNumber(const char* text, double& value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end && *end == '\0' && std::isfinite(value);
}

void showTable(pappl_client_t* client, pappl_printer_t* printer, const std::string& path, const char* status) {
    PenEntry pens[PEN_COUNT];
    withPrinterPens(printer, [&] {
        for (int i = 0; i < PEN_COUNT; ++i) pens[i] = state.penTable[i];
        return true;
    });
    papplClientHTMLPrinterHeader(client, printer, "Pens", 0, nullptr, nullptr);
    if (status) papplClientHTMLPrintf(client, "<div class=\"banner\">%s</div>\n", status);
    papplClientHTMLPuts(client,
                        "<div class=\"row\"><div class=\"col-12\"><p>The pens every job of this printer "
                        "prints with: width in millimetres (up to 25.4), gray in percent (0 to 100).</p>\n");
    papplClientHTMLStartForm(client, path.c_str(), false);
    papplClientHTMLPuts(client, "<table class=\"form\" id=\"pens\"><thead><tr><th>Pen</th><th>Width (mm)</th>"
                                "<th>Gray (%)</th></tr></thead><tbody>\n");
    for (int i = 0; i < PEN_COUNT; ++i)
        papplClientHTMLPrintf(client,
                              "<tr><th>%d</th><td><input type=\"number\" name=\"width%d\" min=\"0.001\" max=\"25.4\" "
                              "step=\"0.001\" value=\"%.3f\"></td><td><input type=\"number\" name=\"gray%d\" min=\"0\" "
                              "max=\"100\" step=\"1\" value=\"%d\"></td></tr>\n",
                              i + 1, i + 1, static_cast<double>(pens[i].penWidth), i + 1, pens[i].penGray);
    papplClientHTMLPuts(client, "</tbody></table>\n<input type=\"submit\" id=\"save-pens\" value=\"Save Pens\">"
                                "</form></div></div>\n");
    papplClientHTMLPrinterFooter(client);
}

// The form's pens; false with the first value out of range.
bool formPens(int count, cups_option_t* form, PenEntry* pens, std::string& error) {
    for (int i = 0; i < PEN_COUNT; ++i) {
        std::string w = "width" + std::to_string(i + 1), g = "gray" + std::to_string(i + 1);
        double width = 0, gray = 0;
        if (!parseNumber(cupsGetOption(w.c_str(), count, form), width) || width <= 0 || width > WIDTH_MAX_MM ||
            !parseNumber(cupsGetOption(g.c_str(), count, form), gray) || gray < 0 || gray > GRAY_MAX ||
            gray != std::floor(gray)) {
            error = "Pen " + std::to_string(i + 1) + ": the width must lie in 0.001 to 25.4 mm and the gray in "
                    "0 to 100 %.";
            return false;
        }
        pens[i] = {static_cast<float>(width), static_cast<uint8_t>(gray)};
    }
    return true;
}

bool penPage(pappl_client_t* client, void* data) {
    auto* printer = static_cast<pappl_printer_t*>(data);
    char path[1024];
    papplPrinterGetPath(printer, "pens", path, sizeof path);
    if (!papplClientHTMLAuthorize(client)) return true;
    const char* status = nullptr;
    std::string message;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        cups_option_t* form = nullptr;
        int count = papplClientGetForm(client, &form);
        PenEntry pens[PEN_COUNT];
        if (!papplClientIsValidForm(client, count, form)) {
            message = "Invalid form submission.";
        } else if (!formPens(count, form, pens, message)) {
            // message says which pen
        } else if (!withPrinterPens(printer, [&] {
                       for (int i = 0; i < PEN_COUNT; ++i) state.penTable[i] = pens[i];
                       return writePenSettingsFile() == 0;
                   })) {
            message = "The pens could not be saved.";
        } else {
            message = "Pens saved.";
        }
        cupsFreeOptions(count, form);
        status = message.c_str();
    }
    showTable(client, printer, path, status);
    return true;
}

}  // namespace

void addPenPage(pappl_printer_t* printer) {
    char path[1024];
    papplPrinterGetPath(printer, "pens", path, sizeof path);
    papplSystemAddResourceCallback(papplPrinterGetSystem(printer), path, "text/html", penPage, printer);
    papplPrinterAddLink(printer, "Pens", path,
                        static_cast<pappl_loptions_t>(PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_STATUS));
}

}  // namespace tavix::printerapp
