#include "configureCommand.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

#include "driverMessages.h"
#include "hostConfig.h"
#include "hostSession.h"
#include "outputFiles.h"
#include "paperChoice.h"
#include "penFile.h"
#include "settingsListing.h"
#include "stampText.h"
#include "platform/native/scriptedUser.h"
#include "resources/resource.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "tavix/packet.h"
#include "tavix/plotSettings.h"
#include "tavix/tables.h"

namespace tavix::host {
namespace {

using native::DialogDriver;
namespace user = native::scriptedUser;

// Maps a word (in any case) to a row; an unknown word is a usage error.
int choice(const std::string& what, const std::string& value,
           const std::vector<std::pair<const char*, int>>& words) {
    for (const auto& [word, row] : words)
        if (sameWord(value, word)) return row;
    // Row numbers are taken where a list has them, but the names are offered.
    std::string known;
    for (const auto& [word, row] : words)
        if (!std::isdigit(static_cast<unsigned char>(word[0]))) known += (known.empty() ? "" : ", ") + std::string(word);
    throw CLI::ValidationError("--" + what, "'" + value + "' is not one of: " + known);
}

// Pens "5", "1-10" or "1,3,5" as list rows (pen - 1).
std::vector<int> penRows(const std::string& pens) {
    std::vector<int> rows;
    size_t pos = 0;
    while (pos <= pens.size()) {
        size_t comma = pens.find(',', pos);
        std::string part = pens.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        int first = 0, last = 0;
        char dash = 0;
        int n = std::sscanf(part.c_str(), "%d%c%d", &first, &dash, &last);
        if (n == 1) last = first;
        if (!((n == 1) || (n == 3 && dash == '-')) || first < 1 || last > 255 || first > last)
            throw CLI::ValidationError("--pen-gray/--pen-width", "'" + pens + "' is not a pen list like 5, 1-10 or 1,3,5");
        for (int p = first; p <= last; ++p) rows.push_back(p - 1);
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    return rows;
}

struct PenEdit {
    std::vector<int> rows;
    std::string value;
    bool width;
    std::string option;  // as given, "3=0.35", for messages
};

PenEdit penEdit(const std::string& edit, bool width) {
    size_t eq = edit.find('=');
    if (eq == std::string::npos)
        throw CLI::ValidationError(width ? "--pen-width" : "--pen-gray", "expected PENS=VALUE, got '" + edit + "'");
    return {penRows(edit.substr(0, eq)), edit.substr(eq + 1), width, edit};
}

// Runs the dialogs' scripts and remembers the first refusal.
class ConfigureScript {
public:
    explicit ConfigureScript(const ConfigureOptions& o) : o_(o) {
        for (const std::string& s : o.penGray) pens_.push_back(penEdit(s, false));
        for (const std::string& s : o.penWidth) pens_.push_back(penEdit(s, true));
        // Every word is checked before the run: nothing may throw through
        // the driver's entry points.
        if (o.model)
            model_ = choice("model", *o.model, modelWords());
        auto pick = [](const std::optional<std::string>& v, const std::string& what,
                       const std::vector<std::pair<const char*, int>>& words) {
            return v ? choice(what, *v, words) : -1;
        };
        const std::vector<std::pair<const char*, int>> onOffWords = {{"on", 1}, {"off", 0}, {"yes", 1}, {"no", 0}};
        margin_ = pick(o.margin, "margin", onOffWords);
        colour_ = pick(o.colour, "colour", {{"colour", 1}, {"color", 1}, {"mono", 0}, {"monochrome", 0}});
        fill_ = pick(o.fill, "fill", {{"black", 0}, {"halftone", 1}});
        lineEnd_ = pick(o.lineEnd, "line-end", {{"butt", 0}, {"square", 1}, {"triangular", 2}, {"rounded", 3}});
        output_ = pick(o.output, "output", {{"option", 1}, {"standard", 0}});
        media_ = pick(o.media, "media", {{"any", 0}, {"paper", 1}, {"tracing", 2}, {"film", 3}});
        tray_ = pick(o.tray, "tray", {{"auto", 0}, {"tray1", 1}, {"tray2", 2}, {"tray3", 3}, {"tray4", 4}, {"sheet", 5}});
        cut_ = pick(o.cut, "cut", {{"standard", 0}, {"synchronous", 1}});
        mirror_ = pick(o.mirror, "mirror", onOffWords);
        centering_ = pick(o.centering, "centering", onOffWords);
        invert_ = pick(o.invert, "invert", onOffWords);
        stamp_ = pick(o.stamp, "stamp", onOffWords);
        penSetting_ = pick(o.penSetting, "pen-setting", onOffWords);
        orientation_ = pick(o.orientation, "orientation", {{"portrait", 1}, {"landscape", 0}});
        stampPosition_ = pick(o.stampPosition, "stamp-position",
                              {{"top-left", 0}, {"top", 1}, {"top-right", 2}, {"left", 3}, {"centre", 4},
                               {"center", 4}, {"right", 5}, {"bottom-left", 6}, {"bottom", 7}, {"bottom-right", 8}});
        stampMode_ = pick(o.stampMode, "stamp-mode", {{"opaque", 0}, {"transparent", 1}});
        dateStamp_ = pick(o.dateStamp, "date-stamp", onOffWords);
        // The stamp texts as the ticket will carry them.
        if (o.drawName) drawName_ = stampText(*o.drawName, DRAW_NAME_BYTES, "--draw-name");
        if (o.comment) comment_ = stampText(*o.comment, COMMENT_BYTES, "--comment");
    }

    // What converting the stamp texts lost, for the user.
    const std::vector<std::string>& warnings() const { return warnings_; }

    void queue() {
        user::reset();
        user::answerMessageBoxes([](const native::MessageBoxRecord&) { return IDOK; });
        user::expect("modelcfg", [this](DialogDriver& d) {
            if (model_ >= 0) d.click(IDC_MODEL_FIRST + model_);
            d.ok();
        });
        user::expect("detailcfg", [this](DialogDriver& d) { device(d); });
    }

    const std::string& refusal() const { return refusal_; }

private:
    bool refused() const { return !refusal_.empty(); }

    std::string stampText(const std::string& utf8, size_t limit, const std::string& what) {
        StampText text = stampTextOf(utf8, limit, what);
        warnings_.insert(warnings_.end(), text.warnings.begin(), text.warnings.end());
        return text.cp932;
    }

    // A warning box since `before` means the dialog refused the value.
    bool checkBox(size_t before, const std::string& what) {
        const auto& boxes = user::messageBoxes();
        if (boxes.size() == before) return true;
        refusal_ = what + ": " + messageForUser(boxes.back().text);
        return false;
    }

    bool typeChecked(DialogDriver& d, int id, const std::string& text, const std::string& what) {
        size_t before = user::messageBoxes().size();
        d.type(id, text);
        return checkBox(before, what);
    }

    void finish(DialogDriver& d) {
        if (refused())
            d.cancel();
        else
            d.ok();
    }

    bool needs(const std::initializer_list<const std::optional<std::string>*>& fields) const {
        for (auto* f : fields)
            if (f->has_value()) return true;
        return false;
    }

    void selectRow(DialogDriver& d, int id, int row, const std::string& what) {
        if (row < 0 || row >= static_cast<int>(d.items(id).size())) {
            refusal_ = what + ": the list has no such row";
            return;
        }
        d.select(id, row);
    }

    void device(DialogDriver& d) {
        if (o_.paper) {
            std::vector<std::string> labels;
            for (const std::string& item : d.items(IDC_DEVICE_PAPER_SIZE)) labels.push_back(native::utf8(item));
            PaperChoice paper = choosePaper(*o_.paper, labels);
            if (paper.row < 0) refusal_ = paper.error;
            else d.select(IDC_DEVICE_PAPER_SIZE, paper.row);
        }
        if (margin_ >= 0) d.click(margin_ ? IDC_DEVICE_MARGIN_ON : IDC_DEVICE_MARGIN_OFF);
        if (o_.copies && !refused()) {
            d.type(IDC_DEVICE_COPIES, *o_.copies);
            if (d.text(IDC_DEVICE_COPIES) != *o_.copies)
                refusal_ = "--copies " + *o_.copies + ": the copy count is 1 to 999";
        }
        if (colour_ >= 0) d.click(colour_ ? IDC_DEVICE_COLOR : IDC_DEVICE_MONOCHROME);
        if (fill_ >= 0) {
            int id = fill_ ? IDC_DEVICE_FILL_HALFTONE : IDC_DEVICE_FILL_BLACK;
            if (!d.enabled(id)) refusal_ = "--fill " + *o_.fill + ": colour output fills in black";
            else d.click(id);
        }
        if (lineEnd_ >= 0) selectRow(d, IDC_DEVICE_LINE_END, lineEnd_, "--line-end");
        if (output_ >= 0) d.click(output_ ? IDC_DEVICE_OUTPUT_OPTION : IDC_DEVICE_OUTPUT_STANDARD);
        bool optionLevel = needs({&o_.media, &o_.tray, &o_.cut, &o_.mirror, &o_.centering, &o_.invert,
                                  &o_.stamp, &o_.orientation, &o_.penSetting, &o_.density}) ||
                           stampLevel() || penLevel();
        if (optionLevel && !refused()) {
            if (!d.enabled(IDC_DEVICE_OPTION_SETTING)) {
                refusal_ = "the option settings need --output option";
            } else {
                user::expect("add_func_cfg", [this](DialogDriver& o) { option(o); });
                d.click(IDC_DEVICE_OPTION_SETTING);
            }
        }
        finish(d);
    }

    bool stampLevel() const {
        return needs({&o_.stampPosition, &o_.stampFontSize, &o_.stampMode, &o_.dateStamp, &o_.stampOffsetX,
                      &o_.stampOffsetY, &o_.drawName, &o_.comment});
    }
    bool penLevel() const { return !pens_.empty() || o_.defaultPens; }

    void option(DialogDriver& d) {
        if (media_ >= 0) selectRow(d, IDC_OPTION_MEDIA_TYPE, media_, "--media");
        if (tray_ >= 0) {
            static const char* const lines[] = {"Tray=Auto\r\n",  "Tray=Tray1\r\n", "Tray=Tray2\r\n",
                                                "Tray=Tray3\r\n", "Tray=Tray4\r\n", "Tray=SheetPaper\r\n"};
            std::string line = lines[tray_];
            const OptionRow* table = trayTableFor(currentModelEntry());
            int row = -1;
            for (int i = 0; i < optionRowCount(table); ++i)
                if (std::strcmp(table[i].ticketLine, line.c_str()) == 0) row = i;
            if (row < 0) refusal_ = "--tray " + *o_.tray + ": this model has no such tray";
            else d.select(IDC_OPTION_TRAY, row);
        }
        if (cut_ >= 0) d.click(cut_ ? IDC_OPTION_CUT_SYNCHRONOUS : IDC_OPTION_CUT_STANDARD);
        if (mirror_ >= 0) d.click(mirror_ ? IDC_OPTION_MIRROR_ON : IDC_OPTION_MIRROR_OFF);
        if (centering_ >= 0) d.click(centering_ ? IDC_OPTION_CENTERING_ON : IDC_OPTION_CENTERING_OFF);
        if (invert_ >= 0) d.click(invert_ ? IDC_OPTION_INVERT_ON : IDC_OPTION_INVERT_OFF);
        if (stamp_ >= 0) d.click(stamp_ ? IDC_OPTION_STAMP_ON : IDC_OPTION_STAMP_OFF);
        if (penSetting_ >= 0) d.click(penSetting_ ? IDC_OPTION_PEN_YES : IDC_OPTION_PEN_NO);
        if (orientation_ >= 0) {
            int id = orientation_ ? IDC_OPTION_PORTRAIT : IDC_OPTION_LANDSCAPE;
            if (!d.enabled(id)) refusal_ = "--orientation needs --stamp on";
            else d.click(id);
        }
        if (o_.density && !refused()) typeChecked(d, IDC_OPTION_DENSITY, *o_.density, "--density " + *o_.density);
        if (stampLevel() && !refused()) {
            if (!d.enabled(IDC_OPTION_STAMP_SETTING)) {
                refusal_ = "the stamp settings need --stamp on";
            } else {
                user::expect("stamp_cfg", [this](DialogDriver& s) { stampDialog(s); });
                d.click(IDC_OPTION_STAMP_SETTING);
            }
        }
        if (penLevel() && !refused()) {
            if (!d.enabled(IDC_OPTION_PEN_SETTING)) {
                refusal_ = "the pen settings need --pen-setting on";
            } else {
                user::expect("pen_lumen_cfg", [this](DialogDriver& p) { penDialog(p); });
                d.click(IDC_OPTION_PEN_SETTING);
            }
        }
        finish(d);
    }

    void stampDialog(DialogDriver& d) {
        if (stampPosition_ >= 0) selectRow(d, IDC_STAMP_POSITION, stampPosition_, "--stamp-position");
        if (o_.stampFontSize) {
            int row = -1;
            for (int i = 0; i < optionRowCount(stampFontSizeTable); ++i) {
                std::string label = stampFontSizeTable[i].label;
                while (!label.empty() && label.back() == ' ') label.pop_back();
                if (label == *o_.stampFontSize) row = i;
            }
            if (row < 0) refusal_ = "--stamp-font-size " + *o_.stampFontSize + ": the sizes are 8 to 72 points";
            else d.select(IDC_STAMP_FONT_SIZE, row);
        }
        if (stampMode_ >= 0) d.click(stampMode_ ? IDC_STAMP_TRANSPARENT : IDC_STAMP_OPAQUE);
        if (dateStamp_ >= 0) d.click(dateStamp_ ? IDC_STAMP_DATE_ON : IDC_STAMP_DATE_OFF);
        if (o_.stampOffsetX && !refused())
            typeChecked(d, IDC_STAMP_OFFSET_X, *o_.stampOffsetX, "--stamp-offset-x " + *o_.stampOffsetX);
        if (o_.stampOffsetY && !refused())
            typeChecked(d, IDC_STAMP_OFFSET_Y, *o_.stampOffsetY, "--stamp-offset-y " + *o_.stampOffsetY);
        if (o_.drawName) {
            if (drawName_.empty()) d.clear(IDC_STAMP_DRAW_NAME);
            else d.type(IDC_STAMP_DRAW_NAME, drawName_);
        }
        if (o_.comment) {
            if (comment_.empty()) d.clear(IDC_STAMP_COMMENT);
            else d.type(IDC_STAMP_COMMENT, comment_);
        }
        finish(d);
    }

    void penDialog(DialogDriver& d) {
        if (o_.defaultPens) d.click(IDC_PEN_DEFAULTS);
        for (const PenEdit& edit : pens_) {
            if (refused()) break;
            d.selectItems(IDC_PEN_LIST, edit.rows);
            std::string what = std::string(edit.width ? "--pen-width " : "--pen-gray ") + edit.option;
            if (edit.width) {
                if (!typeChecked(d, IDC_PEN_WIDTH, edit.value, what)) break;
                // The width is taken when the field loses the focus.
                size_t before = user::messageBoxes().size();
                d.focus(IDC_PEN_LIST);
                checkBox(before, what);
            } else {
                typeChecked(d, IDC_PEN_GRAY, edit.value, what);
            }
        }
        finish(d);
    }

    const ConfigureOptions& o_;
    std::vector<PenEdit> pens_;
    // Rows and switches chosen by the options; -1 where an option is absent.
    int model_ = -1, margin_ = -1, colour_ = -1, fill_ = -1, lineEnd_ = -1, output_ = -1;
    int media_ = -1, tray_ = -1, cut_ = -1, mirror_ = -1, centering_ = -1, invert_ = -1;
    int stamp_ = -1, penSetting_ = -1, orientation_ = -1, stampPosition_ = -1, stampMode_ = -1,
        dateStamp_ = -1;
    std::string drawName_, comment_;  // code page 932
    std::vector<std::string> warnings_;
    std::string refusal_;
};

Packet request(int16_t code) {
    Packet p{};
    writeI16(p.data(), 0, code);
    return p;
}

}  // namespace

void addConfigureOptions(CLI::App& c, ConfigureOptions& o) {
    c.add_flag("--defaults", o.defaults, "Start from the model's default settings");
    c.add_option("--model", o.model, "Model: tx90, tx70, tx30, lumen-q1 or tx-series");
    c.add_option("--paper", o.paper, "Paper: its row in the model's list (1 = first), its label (any case) or a start "
                                     "that fits one paper, e.g. a1, max ('tavix papers' lists them)");
    c.add_option("--margin", o.margin, "Plot margin: on or off");
    c.add_option("--copies", o.copies, "Copy count 1..999");
    c.add_option("--output", o.output, "Output: option (with a job ticket) or standard");
    c.add_option("--fill", o.fill, "Polygon fill: black or halftone (colour output fills in black)");
    c.add_option("--colour,--color", o.colour, "Colour or mono");
    c.add_option("--line-end", o.lineEnd, "Line end: butt, square, triangular or rounded");
    c.add_option("--media", o.media, "Media type: any, paper, tracing or film (option output)");
    c.add_option("--tray", o.tray, "Tray: auto, tray1..tray4 or sheet, as the model offers (option output)");
    c.add_option("--cut", o.cut, "Cut mode: standard or synchronous (option output)");
    c.add_option("--mirror", o.mirror, "Mirror image: on or off (option output)");
    c.add_option("--centering", o.centering, "Image centering: on or off (option output)");
    c.add_option("--invert", o.invert, "Black and white inverted: on or off (option output)");
    c.add_option("--density", o.density, "Print density 1..64 (option output)");
    c.add_option("--stamp", o.stamp, "Text stamp: on or off (option output)");
    c.add_option("--orientation", o.orientation, "Drawing orientation: portrait or landscape (with the stamp on)");
    c.add_option("--pen-setting", o.penSetting, "Send the pen table with the job: on or off (option output)");
    c.add_option("--stamp-position", o.stampPosition, "Stamp position: top-left, top, top-right, left, centre, right, bottom-left, bottom or bottom-right");
    c.add_option("--stamp-font-size", o.stampFontSize, "Stamp font size in points: 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48 or 72");
    c.add_option("--stamp-mode", o.stampMode, "Stamp mode: opaque or transparent");
    c.add_option("--date-stamp", o.dateStamp, "Date and time in the stamp: on or off");
    c.add_option("--stamp-offset-x", o.stampOffsetX, "Stamp offset across, in mm");
    c.add_option("--stamp-offset-y", o.stampOffsetY, "Stamp offset along, in mm");
    c.add_option("--draw-name", o.drawName, "The stamp's drawing name (up to 40 bytes in the ticket's Shift-JIS)");
    c.add_option("--comment", o.comment, "The stamp's comment (up to 80 bytes in the ticket's Shift-JIS)");
    c.add_option("--pen-gray", o.penGray, "PENS=GRAY: gray 0..100 of pens like 5, 1-10 or 1,3,5, e.g. 1-10=50 (repeatable; with --pen-setting on)");
    c.add_option("--pen-width", o.penWidth, "PENS=MM: width in mm of pens, e.g. 3=0.35 (repeatable; with --pen-setting on)");
    c.add_flag("--default-pens", o.defaultPens, "Put every pen back to 0.254 mm and gray 100 (with --pen-setting on)");
    c.add_option("--pen-file", o.penFile, "The driver's pen settings file (tavixdrv.def) to use; the driver runs in its folder");
    c.add_flag("--show", o.show, "Print the current settings and pens in plain words, and change nothing");
}

namespace {

// The paper a settings block names, described for the user; empty without one.
std::string paperOf(const HostConfig& config) {
    if (!config.hasBlock) return "";
    PlotSettings s;
    std::memcpy(s.bytes, config.block.data(), sizeof s.bytes);
    std::vector<std::string> labels = modelPaperLabels(s.modelIndex() >= 0 && s.modelIndex() < 5 ? s.modelIndex() : 0);
    int row = s.paperSize() - 1;
    return row >= 0 && row < static_cast<int>(labels.size()) ? paperDescription(labels[static_cast<size_t>(row)]) : "";
}

// The configuration run's requests (49, 50, 11, 20, 21, 47) with the
// dialogs scripted; the configuration is saved when it succeeds. Returns the
// exit status; the model's name comes back in `model`.
int configurationRun(const ConfigureOptions& options, ConfigureScript& script, HostConfig& config,
                     std::string& model) {
    HostSession session(stdout, stderr);
    session.connect();
    session.storedBlock = config.block;
    session.hasStoredBlock = config.hasBlock;
    script.queue();
    Packet p = request(49);
    writeI16(p.data(), 4, 1);
    p[7] = 2;
    session.config(p);
    if (readI16(p.data(), 10) != 0) throw std::runtime_error("the driver refused to initialise");
    p = request(50);
    std::memcpy(p.data() + 8, "ja", 2);
    session.config(p);
    p = request(11);
    writeI16(p.data(), 4, 3);
    session.config(p);
    if (readI16(p.data(), 0) != 0) throw std::runtime_error("the driver refused the interface version");
    p = request(20);
    session.config(p);
    char name[33] = {};
    std::memcpy(name, p.data() + 8, 32);
    model = name;
    p = request(21);
    writeI16(p.data(), 6, options.defaults ? 1 : 0);
    session.config(p);
    if (readI16(p.data(), 0) != 0) throw std::runtime_error("device initialisation failed");
    for (const std::string& fault : native::scriptedUser::faults())
        std::fprintf(stderr, "tavix: dialog script: %s\n", fault.c_str());
    if (native::scriptedUser::pendingScripts() > 0)
        throw std::runtime_error("the driver's dialogs did not open; nothing was saved");
    if (!script.refusal().empty()) {
        std::fprintf(stderr, "tavix: refused: %s\ntavix: nothing was saved\n", script.refusal().c_str());
        return 1;
    }
    double width = readF64(p.data(), 8), height = readF64(p.data(), 16), steps = readF64(p.data(), 24);
    p = request(47);
    session.config(p);
    if (readI16(p.data(), 0) != 0) throw std::runtime_error("the settings could not be saved");
    config.block = session.storedBlock;
    config.hasBlock = session.hasStoredBlock;
    config.plotWidth = width;
    config.plotHeight = height;
    config.stepsPerInch = steps;
    std::string error;
    if (!saveHostConfig(options.configPath, config, error)) throw std::runtime_error(error);
    return 0;
}

// After a saved configuration: did the driver write its pen file? Pens the
// user set and the driver did not save fail the command.
int checkPensSaved(const ConfigureOptions& options, const PenFilePlace& place, const PenFileCheck& before) {
    if (penFileRewritten(before)) return 0;
    bool pensSet = !options.penGray.empty() || !options.penWidth.empty() || options.defaultPens;
    if (pensSet) {
        std::fprintf(stderr, "tavix: the pen settings were not saved: %s could not be written\n", place.shown.c_str());
        return 1;
    }
    if (before.state != PenFileState::Missing)
        std::fprintf(stderr, "tavix: warning: %s could not be written; it keeps the pens it had\n", place.shown.c_str());
    return 0;
}

}  // namespace

int runConfigureCommand(const ConfigureOptions& given) {
    ConfigureOptions options = given;
    PenFilePlace place;
    std::string error;
    if (!penFilePlace(options.penFile, place, error)) {
        std::fprintf(stderr, "tavix: %s\n", error.c_str());
        return 2;
    }
    // The configuration file stays reachable from the pen file's folder.
    if (!place.folder.empty()) options.configPath = absolutePath(given.configPath);
    HostConfig config;
    bool exists = false;
    if (!loadHostConfig(options.configPath, config, exists, error)) {
        if (error.rfind(options.configPath, 0) == 0) error = given.configPath + error.substr(options.configPath.size());
        std::fprintf(stderr, "tavix: %s\n", error.c_str());
        return 1;
    }
    if (!enterPenFileFolder(place, error)) {
        std::fprintf(stderr, "tavix: %s\n", error.c_str());
        return 1;
    }
    if (options.show) {
        if (!exists || !config.hasBlock) {
            std::fprintf(stderr, "tavix: no configuration in %s: run 'tavix configure' first\n", given.configPath.c_str());
            return 1;
        }
        showSettings(config, place.shown);
        return 0;
    }
    std::unique_ptr<ConfigureScript> script;
    try {
        script = std::make_unique<ConfigureScript>(options);
    } catch (const CLI::Error& e) {
        std::fprintf(stderr, "tavix: %s\n", e.what());
        return 2;
    }
    for (const std::string& w : script->warnings()) std::fprintf(stderr, "tavix: warning: %s\n", w.c_str());
    PenFileCheck pens = checkPenFile();
    warnAboutPenFile(place, pens, given.configPath, options.configPath, true);
    if (pens.state != PenFileState::Missing && !backUpPenFile(error))
        std::fprintf(stderr, "tavix: warning: %s\n", error.c_str());
    std::string paperBefore = paperOf(config), model;
    try {
        int status = configurationRun(options, *script, config, model);
        if (status != 0) return status;
    } catch (const CLI::Error& e) {
        std::fprintf(stderr, "tavix: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavix: %s\n", e.what());
        return 1;
    }
    std::string paperAfter = paperOf(config);
    if (!options.paper && !paperBefore.empty() && paperBefore != paperAfter)
        std::fprintf(stderr, "tavix: the paper changed from %s to %s: %s\n", paperBefore.c_str(), paperAfter.c_str(),
                     options.model ? "the model's paper list differs" : "the driver chose it");
    std::fprintf(stderr, "tavix: configured %s, paper %s, plot area %.3f x %.3f in, %g steps per inch, in %s\n",
                 model.c_str(), paperAfter.c_str(), config.plotWidth, config.plotHeight, config.stepsPerInch,
                 given.configPath.c_str());
    return checkPensSaved(options, place, pens);
}

}  // namespace tavix::host
