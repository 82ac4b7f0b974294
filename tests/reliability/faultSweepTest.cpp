// The fault sweep: a reference configuration run and a reference plot run,
// first with a host that never fails, to count the calls of every service;
// then once for every service and every call index with that one call
// failing. After every run: the answers and messages as defined, nothing
// offered to the port after a refused piece, the OutputBuffer released,
// hostExchangeValue given back once per begin plot, and the pen settings
// file as it was (or, where it could not be read, as the defaults write it).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/messageBox.h"
#include "platform/native/scriptedUser.h"
#include "tests/reliability/referenceRuns.h"
#include "tavix/penSettingsFile.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "support/testSeams.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "tavix/outputBuffer.h"
#include "settings/settingsDefaults.h"

namespace tavix::reliability {
namespace {

namespace fs = std::filesystem;
namespace user = native::scriptedUser;
using testing::RecordingHost;

// ---- Faults ------------------------------------------------------------------

enum class Fault {
    none,
    refusePiece,       // hostWriteOutput refuses call `index`
    loadFails,         // hostLoadSettings call `index`
    saveFails,         // hostSaveSettings call `index`
    noMemory,          // the OutputBuffer allocation `index`
    rowStop,           // rowSource call `index` answers with the stop flag
    rowError,          // ... with the error flag
    rowMissing,        // ... with no reply
    negativeExchange,  // hostExchangeValue answers -7 at begin plot
    penFileMissing,
    penFileUnreadable,  // "tavixdrv.def" is a directory
    penFileUnwritable,  // "tavixdrv.def.new" is a directory
    penFileCorrupt,     // `corrupt` holds the file
};

struct Injection {
    Injection(Fault f = Fault::none, int i = 0, std::string file = {})
        : fault(f), index(i), corrupt(std::move(file)) {}
    Fault fault;
    int index;
    std::string corrupt;
    std::string describe() const {
        static const char* const names[] = {
            "none", "refusePiece", "loadFails", "saveFails", "noMemory",
            "rowStop", "rowError", "rowMissing", "negativeExchange", "penFileMissing",
            "penFileUnreadable", "penFileUnwritable", "penFileCorrupt"};
        return std::string(names[static_cast<int>(fault)]) + " at " + std::to_string(index);
    }
};

// ---- What one run left behind ----------------------------------------------

struct Box {
    std::string text, caption;
};
std::vector<Box> boxes;

void recordBox(HostAddress, const char* text, const char* caption, unsigned) {
    boxes.push_back({text, caption});
}

int allocations = 0;
int failAllocationAt = -1;
bool allocationAllowed() { return allocations++ != failAllocationAt; }

struct Outcome {
    std::vector<RequestRecord> requests;
    RecordingHost host;
    RowCalls rows;
    int allocations = 0;
    bool bufferHeld = false;
    uint8_t latch = 0;
    std::vector<Box> boxes;
    std::vector<std::string> userFaults;
    size_t pendingScripts = 0;
    std::vector<std::string> dialogs;
    std::string penFile;      // "<directory>" or "<missing>" when not a file
    bool newFileLeft = false;
    bool newIsDirectory = false;
    bool penFileReplaced = false;  // a new file took the old one's place
};

// The file's inode: a new file put in its place has another one.
ino_t penFileInode() {
    struct stat info {};
    return stat(PEN_SETTINGS_FILE, &info) == 0 && S_ISREG(info.st_mode) ? info.st_ino : 0;
}

std::string penFileState() {
    if (fs::is_directory(PEN_SETTINGS_FILE)) return "<directory>";
    return testing::readWholeFile(PEN_SETTINGS_FILE);
}

// Puts the pen settings file in place for the injection.
void preparePenFile(const Injection& in) {
    std::error_code error;
    fs::remove_all(PEN_SETTINGS_FILE, error);
    fs::remove_all(PEN_SETTINGS_FILE_NEW, error);
    switch (in.fault) {
        case Fault::penFileMissing: break;
        case Fault::penFileUnreadable:
            fs::create_directories(fs::path(PEN_SETTINGS_FILE) / "inside");
            break;
        case Fault::penFileCorrupt: testing::writeWholeFile(PEN_SETTINGS_FILE, in.corrupt); break;
        case Fault::penFileUnwritable:
            fs::create_directory(PEN_SETTINGS_FILE_NEW);
            testing::writeWholeFile(PEN_SETTINGS_FILE, referencePenFile());
            break;
        default: testing::writeWholeFile(PEN_SETTINGS_FILE, referencePenFile()); break;
    }
}

// One run with one injection: `play` sends the requests.
template <typename Play>
Outcome runWith(const Injection& in, const PlotSettings& stored, Play play) {
    preparePenFile(in);
    const ino_t inodeBefore = penFileInode();
    Outcome out;
    RecordingHost& host = out.host;
    std::memcpy(host.stored, stored.bytes, sizeof host.stored);
    host.hasStored = true;
    // One refused piece: the driver must not offer another, so a port that
    // stays dead would see the same calls.
    if (in.fault == Fault::refusePiece) host.failWriteAtCall = in.index;
    if (in.fault == Fault::loadFails) host.failLoadAtCall = in.index;
    if (in.fault == Fault::saveFails) host.failSaveAtCall = in.index;
    if (in.fault == Fault::negativeExchange) host.exchangeResult = -7;
    allocations = 0;
    failAllocationAt = in.fault == Fault::noMemory ? in.index : -1;
    RowFaults rowFaults;
    if (in.fault == Fault::rowStop) rowFaults.stopAt = in.index;
    if (in.fault == Fault::rowError) rowFaults.errorAt = in.index;
    if (in.fault == Fault::rowMissing) rowFaults.missingAt = in.index;
    resetRows(rowFaults);
    boxes.clear();
    user::reset();

    host.install();
    out.requests = play(host);

    out.rows = rowCalls();
    out.allocations = allocations;
    out.bufferHeld = state.outputBuffer != nullptr;
    out.latch = state.errorLatch;
    out.boxes = boxes;
    out.userFaults = user::faults();
    out.pendingScripts = user::pendingScripts();
    out.dialogs = user::openedDialogs();
    out.penFile = penFileState();
    const ino_t inodeAfter = penFileInode();
    out.penFileReplaced = inodeAfter != 0 && inodeAfter != inodeBefore;
    out.newFileLeft = fs::exists(PEN_SETTINGS_FILE_NEW);
    out.newIsDirectory = fs::is_directory(PEN_SETTINGS_FILE_NEW);
    user::reset();
    releaseOutputBuffer();
    return out;
}

std::string shown(int slot) {
    std::string text(1, '\n');
    text += japaneseMessages[slot];
    return text + "\n";
}

// "\n%s": the one message without a line feed after it.
std::string shownNoMemory() {
    std::string text(1, '\n');
    return text + japaneseMessages[2];
}

bool isSettingsFault(Fault f) { return f == Fault::loadFails || f == Fault::saveFails; }

// The answer of a request that arrives with errorLatch set. A move or draw
// fails at its point, unless it is dropped as redundant before anything is
// written. Texts are dropped without a failure when no plot is open (no
// OutputBuffer), so a lift, pen, line-type or width request fails only
// inside a plot, and a lift only where it has a "<" to write. Set-up
// requests fail; fills answer 0; the rest leave their packet alone.
int16_t latchedAnswer(const RequestRecord& r, const RequestRecord& base) {
    const bool redundant = r.penState == r.previousPenState && r.penState != PEN_OUTSIDE &&
                           r.x == r.lastHostX && r.y == r.lastHostY;
    const bool inPe = r.penState == PEN_DOWN || r.penState == PEN_MOVED;
    switch (base.code) {
        case 3: return redundant ? base.code : -1;
        case 4: return redundant && r.penReselect == 0 ? base.code : -1;
        case 8: return inPe && r.bufferHeld ? -1 : base.code;
        case 5: case 7: return r.bufferHeld ? -1 : base.code;
        case 41: return r.bufferHeld ? -1 : 0;
        case 29: case 30: case 46: case 47: case 48: return -1;
        case 33: case 54: return 0;
        default: return base.answer;
    }
}

// The request during which a failure comes to light: a settings load (29)
// or save (46), the buffer of begin plot (30), the pen selection that
// prints the first image, end plot (2, which prints the second image and
// flushes); in a configuration run its save (47). It fails, except end
// plot, which has no answer.
int16_t failingAnswer(const RequestRecord& base) {
    switch (base.code) {
        case 29: case 30: case 46: case 5: return -1;
        case 47: return -1;  // the configuration run's save
        case 2: return base.answer;
        default:
            ADD_FAILURE() << "a failure surfaced at code " << base.code;
            return 0;
    }
}

void expectAnswers(const std::vector<RequestRecord>& base, const Outcome& run) {
    ASSERT_EQ(base.size(), run.requests.size());
    int failing = 0;
    for (size_t i = 0; i < base.size(); ++i) {
        const RequestRecord& b = base[i];
        const RequestRecord& r = run.requests[i];
        SCOPED_TRACE("request " + std::to_string(i) + " (code " + std::to_string(b.code) + ")");
        if (r.latchBefore != 0) {
            EXPECT_EQ(latchedAnswer(r, b), r.answer);
            EXPECT_EQ(r.latchBefore, r.latchAfter);  // only 49 clears it
        } else if (r.latchAfter != 0) {
            ++failing;
            EXPECT_EQ(failingAnswer(b), r.answer);
        } else {
            EXPECT_EQ(b.answer, r.answer);
        }
        // Once the port has failed, nothing more is offered to it.
        if (r.latchBefore != 0) {
            EXPECT_EQ(r.writesBefore, r.writesAfter);
        }
    }
    EXPECT_LE(failing, 1);
}

// ---- Corrupt pen settings files ----------------------------------------------

std::vector<std::string> lines(const std::string& file) {
    std::vector<std::string> out;
    for (size_t at = 0; at < file.size();) {
        size_t end = file.find("\r\n", at);
        out.push_back(file.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

std::string join(const std::vector<std::string>& ls, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && i < ls.size(); ++i) out += ls[i] + "\r\n";
    return out;
}

// Files the reader must refuse as a whole: cut after every line, every line
// replaced by one it cannot accept, values out of range, binary garbage.
// `stride` thins the per-line variants.
std::vector<std::string> corruptPenFiles(size_t stride) {
    const std::vector<std::string> good = lines(referencePenFile());
    std::vector<std::string> out;
    for (size_t kept = 0; kept < good.size(); kept += stride) out.push_back(join(good, kept));
    out.push_back(join(good, good.size() - 1));
    for (size_t line = 0; line < good.size(); line += stride) {
        std::vector<std::string> bad = good;
        bad[line] = bad[line].substr(0, bad[line].find('=')) + "X=1";
        out.push_back(join(bad, bad.size()));
    }
    auto replaced = [&good](size_t line, const std::string& text) {
        std::vector<std::string> bad = good;
        bad[line] = text;
        return join(bad, bad.size());
    };
    out.push_back(replaced(4, "PenGray5=101"));
    out.push_back(replaced(0, "PenGray1=-1"));
    out.push_back(replaced(257, "LumenWide1=0"));
    out.push_back(replaced(257, "LumenWide1=25.5"));
    out.push_back(replaced(257, "LumenWide1=1e999"));
    out.push_back(replaced(258, "LumenGray1=101"));
    out.push_back(replaced(766, "LumenGray255=1000000000000"));
    out.push_back(replaced(0, std::string(100000, 'A')));
    std::string garbage;
    uint32_t seed = 7;
    for (int i = 0; i < 8192; ++i) {
        seed = seed * 1664525u + 1013904223u;
        garbage += static_cast<char>(seed >> 24);
    }
    out.push_back(garbage);
    std::string nul = referencePenFile();
    nul[3] = '\0';
    out.push_back(nul);
    std::string crOnly = referencePenFile();
    for (size_t at = crOnly.find("\r\n"); at != std::string::npos; at = crOnly.find("\r\n", at))
        crOnly.erase(at + 1, 1);
    out.push_back(crOnly);
    return out;
}

// ---- The sweep -------------------------------------------------------------------

struct PlotVariant {
    const char* name;
    bool configureDialog;  // request 46 (the device dialog, a save) before 47
    int writeStride;       // every how many write calls and rows one fails
};

// TAVIX_SWEEP_STRIDE=n thins the call indices of the sweep to every n-th
// (for the run under valgrind); every index by default.
int sweepStride() {
    const char* text = std::getenv("TAVIX_SWEEP_STRIDE");
    int n = text != nullptr ? std::atoi(text) : 1;
    return n > 0 ? n : 1;
}

class FaultSweep : public ::testing::Test {
protected:
    testing::TestSeams seams;
    void SetUp() override {
        warningBoxHook = recordBox;
        outputAllocationAllowed = allocationAllowed;
    }
    void TearDown() override {
        user::reset();
        releaseOutputBuffer();
    }

    // Runs `check` for every injection until the first one that fails a
    // check; counts what was injected and survived.
    void sweep(const char* name, const std::vector<Injection>& injections,
               const std::function<void(const Injection&)>& check) {
        int injected = 0, survived = 0;
        for (const Injection& in : injections) {
            SCOPED_TRACE(in.describe());
            ++injected;
            check(in);
            if (HasFailure()) break;
            ++survived;
        }
        std::printf("[   SWEEP  ] %s: %d faults injected, %d survived\n", name, injected, survived);
        RecordProperty(std::string(name) + "Injected", injected);
        RecordProperty(std::string(name) + "Survived", survived);
    }

    void sweepPlotRun(const PlotVariant& variant);

    testing::ScratchDirectory scratch;
};

// Where the images sit in a stream: from the switch to HP RTL to the switch
// back, for each image.
std::vector<std::pair<size_t, size_t>> imageSpans(const std::string& stream) {
    std::vector<std::pair<size_t, size_t>> spans;
    for (size_t at = stream.find("\x1b%1A"); at != std::string::npos;
         at = stream.find("\x1b%1A", at + 1)) {
        size_t end = stream.find("\x1b%0B", at);
        if (end == std::string::npos) break;
        spans.emplace_back(at, end + 4);
    }
    return spans;
}

void expectBaselineSane(const Outcome& b, size_t images) {
    for (const RequestRecord& r : b.requests) {
        EXPECT_NE(-1, r.answer) << "code " << r.code;
        EXPECT_EQ(0, r.latchAfter) << "code " << r.code;
    }
    EXPECT_TRUE(b.host.messages.empty());
    EXPECT_TRUE(b.boxes.empty());
    EXPECT_TRUE(b.userFaults.empty());
    EXPECT_EQ(0u, b.pendingScripts);
    EXPECT_FALSE(b.bufferHeld);
    EXPECT_FALSE(b.newFileLeft);
    if (images > 0) {
        EXPECT_EQ(0u, b.host.output.find("##DOZ START\r\n"));
        const std::string trailer = ";PUSP0;PG;RP1";
        EXPECT_EQ(b.host.output.size() - trailer.size(), b.host.output.rfind(trailer));
        EXPECT_EQ(images, imageSpans(b.host.output).size());
        EXPECT_EQ(images + 1, b.rows.queriesPerImage.size());
        for (size_t i = 1; i < b.rows.queriesPerImage.size(); ++i) EXPECT_LT(0, b.rows.queriesPerImage[i]);
        EXPECT_EQ(b.rows.queries, b.rows.releases);
        EXPECT_EQ((std::vector<std::pair<int, int>>{{30, 1}, {42, 1}}), b.host.exchangeCalls);
        EXPECT_EQ(1, b.allocations);
    }
}

// The image (1-based, by host value) that rowSource call `q` served.
size_t imageOfQuery(const RowCalls& base, int q, int& firstQuery) {
    firstQuery = 0;
    for (size_t image = 1; image < base.queriesPerImage.size(); ++image) {
        if (q < firstQuery + base.queriesPerImage[image]) return image;
        firstQuery += base.queriesPerImage[image];
    }
    return 0;
}

void FaultSweep::sweepPlotRun(const PlotVariant& variant) {
    PlotShape shape;
    shape.configureDialog = variant.configureDialog;
    const ReferencePlot plot(shape);
    const PlotSettings stored = referencePlotSettings();
    auto run = [&](const Injection& in) {
        return runWith(in, stored, [&plot](RecordingHost& host) { return plot.play(host); });
    };

    const Outcome base = run({});
    expectBaselineSane(base, 2);
    EXPECT_EQ(referencePenFile(), base.penFile);
    EXPECT_EQ(1, base.host.loadCalls);
    EXPECT_EQ(variant.configureDialog ? 1 : 0, base.host.saveCalls);
    EXPECT_EQ(variant.configureDialog, base.penFileReplaced);
    // With the pen file gone the pens take their defaults, which the job
    // ticket shows: the stream every unreadable file must give.
    const Outcome defaults = run({Fault::penFileMissing});
    expectBaselineSane(defaults, 2);
    EXPECT_NE(base.host.output, defaults.host.output);
    if (HasFailure()) return;

    const auto spans = imageSpans(base.host.output);
    const std::string& stream = base.host.output;

    std::vector<Injection> injections;
    // Every call index; with the device dialog (the same stream) every
    // stride-th one and the last, and every environment stride on top.
    const int stride = sweepStride() * variant.writeStride;
    for (int k = 0; k < base.host.writeCalls; k += stride) injections.push_back({Fault::refusePiece, k});
    if ((base.host.writeCalls - 1) % stride != 0) injections.push_back({Fault::refusePiece, base.host.writeCalls - 1});
    for (int k = 0; k < base.host.loadCalls; ++k) injections.push_back({Fault::loadFails, k});
    for (int k = 0; k < base.host.saveCalls; ++k) injections.push_back({Fault::saveFails, k});
    for (int k = 0; k < base.allocations; ++k) injections.push_back({Fault::noMemory, k});
    for (int q = 0; q < base.rows.queries; q += stride) {
        injections.push_back({Fault::rowStop, q});
        injections.push_back({Fault::rowError, q});
        injections.push_back({Fault::rowMissing, q});
    }
    injections.push_back({Fault::negativeExchange});
    injections.push_back({Fault::penFileMissing});
    injections.push_back({Fault::penFileUnreadable});
    injections.push_back({Fault::penFileUnwritable});
    for (std::string& file : corruptPenFiles(37)) injections.push_back({Fault::penFileCorrupt, 0, file});

    sweep(variant.name, injections, [&](const Injection& in) {
        const Outcome r = run(in);
        const Fault f = in.fault;

        // Always: the plot's buffer released, the dialogs as scripted, no
        // half-written pen file left, every row reply released once.
        EXPECT_FALSE(r.bufferHeld);
        EXPECT_TRUE(r.userFaults.empty());
        EXPECT_EQ(0u, r.pendingScripts);
        EXPECT_EQ(f == Fault::penFileUnwritable, r.newFileLeft);
        EXPECT_EQ(0, r.rows.strayReleases);
        EXPECT_EQ(0, r.rows.queriesWhileOutstanding);
        EXPECT_EQ(0, r.rows.queriesWhileLatched);
        EXPECT_EQ(r.rows.queries - (f == Fault::rowMissing ? 1 : 0), r.rows.releases);
        expectAnswers(base.requests, r);

        // hostExchangeValue: taken at every begin plot that got its buffer,
        // given back once, at end plot.
        if (f == Fault::noMemory || isSettingsFault(f)) {
            EXPECT_TRUE(r.host.exchangeCalls.empty());
        } else if (f == Fault::negativeExchange) {
            EXPECT_EQ((std::vector<std::pair<int, int>>{{30, 1}}), r.host.exchangeCalls);
        } else {
            EXPECT_EQ(base.host.exchangeCalls, r.host.exchangeCalls);
        }

        // Messages and the latch.
        std::vector<std::string> messages;
        uint8_t latch = 0;
        if (f == Fault::refusePiece) {
            messages = {shown(77)};
            latch = LATCH_OUTPUT;
        } else if (f == Fault::noMemory) {
            messages = {shownNoMemory()};
            latch = LATCH_OUTPUT;
        } else if (f == Fault::loadFails) {
            messages = {shown(MSG_CANNOT_GET)};
            latch = LATCH_CONFIG;
        } else if (f == Fault::saveFails) {
            messages = {shown(MSG_CANNOT_SAVE)};
            latch = LATCH_CONFIG;
        }
        EXPECT_EQ(messages, r.host.messages);
        EXPECT_EQ(latch, r.latch);

        // The stream.
        const std::string& out = r.host.output;
        if (f == Fault::refusePiece) {
            // Offered up to the refused piece, and not one call more; what
            // was accepted is the reference stream up to there.
            ASSERT_EQ(in.index + 1, r.host.writeCalls);
            size_t accepted = 0;
            for (int k = 0; k < in.index; ++k) accepted += static_cast<size_t>(base.host.pieceSizes[k]);
            EXPECT_EQ(base.host.pieceSizes[in.index], r.host.pieceSizes[in.index]);
            EXPECT_TRUE(out == stream.substr(0, accepted)) << "accepted bytes differ";
        } else if (isSettingsFault(f)) {
            // The plot never begins: no buffer, no byte, no row.
            EXPECT_EQ(0, r.host.writeCalls);
            EXPECT_EQ(0, r.rows.queries);
            EXPECT_EQ(0, r.allocations);
        } else if (f == Fault::noMemory) {
            EXPECT_EQ(0, r.host.writeCalls);
            EXPECT_EQ(0, r.rows.queries);
        } else if (f == Fault::rowStop || f == Fault::rowError || f == Fault::rowMissing) {
            int first = 0;
            const size_t image = imageOfQuery(base.rows, in.index, first);
            ASSERT_LT(0u, image);
            const auto span = spans[image - 1];
            // The image's own rows change; before it and after it, nothing.
            ASSERT_LE(stream.size() - span.second, out.size());
            EXPECT_TRUE(out.compare(0, span.first, stream, 0, span.first) == 0) << "before the image";
            EXPECT_TRUE(out.compare(out.size() - (stream.size() - span.second), std::string::npos,
                                    stream, span.second) == 0)
                << "after the image";
            EXPECT_EQ(imageSpans(stream).size(), imageSpans(out).size());
            for (size_t i = 1; i < base.rows.queriesPerImage.size(); ++i) {
                int expected = base.rows.queriesPerImage[i];
                if (i == image && f != Fault::rowError) expected = in.index - first + 1;
                EXPECT_EQ(expected, r.rows.queriesPerImage[i]) << "image " << i;
            }
            if (f == Fault::rowError) {
                ASSERT_EQ(1u, r.boxes.size());
                const std::string text = "image faile=" + std::to_string(in.index - first) + " " +
                                         std::to_string(r.rows.pixelsAsked[in.index]) + " " +
                                         std::to_string(r.rows.bytesGiven[in.index]);
                EXPECT_EQ(text, r.boxes[0].text);
                EXPECT_EQ("VUV4.3", r.boxes[0].caption);
            }
        } else if (f == Fault::penFileMissing || f == Fault::penFileUnreadable ||
                   f == Fault::penFileCorrupt) {
            EXPECT_TRUE(out == defaults.host.output) << "the defaults' stream";
        } else {
            EXPECT_TRUE(out == stream) << "the reference stream";
        }
        if (f != Fault::rowError) {
            EXPECT_TRUE(r.boxes.empty());
        }

        // The pen settings file: kept byte for byte; a request 46 writes the
        // pens it has, which are the defaults when the file was unreadable.
        std::string penFile = referencePenFile();
        if (f == Fault::penFileMissing) penFile = variant.configureDialog ? defaultPenFile() : "<missing>";
        if (f == Fault::penFileUnreadable) penFile = "<directory>";
        if (f == Fault::penFileCorrupt) penFile = variant.configureDialog ? defaultPenFile() : in.corrupt;
        EXPECT_TRUE(penFile == r.penFile) << "pen settings file";
        if (f == Fault::penFileUnwritable) {
            EXPECT_TRUE(r.newIsDirectory);
        }
        // Written only by request 46 after its save, where it can be.
        const bool written = variant.configureDialog && f != Fault::loadFails &&
                             f != Fault::saveFails && f != Fault::penFileUnwritable &&
                             f != Fault::penFileUnreadable;
        EXPECT_EQ(written, r.penFileReplaced);
    });
}

TEST_F(FaultSweep, plotRunWithSetPlotArea) { sweepPlotRun({"plotRun47", false, 1}); }

// The same stream with a save and a pen file written at request 46: every
// fault of its own, and a sample of the write and row faults.
TEST_F(FaultSweep, plotRunWithDeviceDialog) { sweepPlotRun({"plotRun46", true, 7}); }

TEST_F(FaultSweep, configurationRun) {
    const PlotSettings stored = referenceStoredBlock();
    auto run = [&](const Injection& in) { return runWith(in, stored, playConfigurationRun); };
    const Outcome base = run({});
    expectBaselineSane(base, 0);
    const std::vector<int16_t> answers = {0, 50, 0, 0, 0, 0};
    std::vector<int16_t> baseAnswers;
    for (const RequestRecord& r : base.requests) baseAnswers.push_back(r.answer);
    EXPECT_EQ(answers, baseAnswers);
    EXPECT_EQ(2, base.host.loadCalls);
    EXPECT_EQ(1, base.host.saveCalls);
    EXPECT_EQ(0, base.host.writeCalls);
    EXPECT_BYTES(std::string(reinterpret_cast<const char*>(stored.bytes), 40),
                 std::string(reinterpret_cast<const char*>(base.host.stored), 40));
    EXPECT_EQ(referencePenFile(), base.penFile);
    EXPECT_TRUE(base.penFileReplaced);
    EXPECT_EQ((std::vector<std::string>{"modelcfg", "detailcfg"}), base.dialogs);
    if (HasFailure()) return;

    std::vector<Injection> injections;
    for (int k = 0; k < base.host.loadCalls; ++k) injections.push_back({Fault::loadFails, k});
    for (int k = 0; k < base.host.saveCalls; ++k) injections.push_back({Fault::saveFails, k});
    injections.push_back({Fault::penFileMissing});
    injections.push_back({Fault::penFileUnreadable});
    injections.push_back({Fault::penFileUnwritable});
    for (std::string& file : corruptPenFiles(1)) injections.push_back({Fault::penFileCorrupt, 0, file});

    sweep("configurationRun", injections, [&](const Injection& in) {
        const Outcome r = run(in);
        const Fault f = in.fault;
        EXPECT_TRUE(r.userFaults.empty());
        EXPECT_EQ(0u, r.pendingScripts);
        EXPECT_EQ(base.dialogs, r.dialogs);
        EXPECT_EQ(0, r.host.writeCalls);
        EXPECT_EQ(0, r.allocations);
        EXPECT_EQ(f == Fault::penFileUnwritable, r.newFileLeft);
        expectAnswers(base.requests, r);

        if (f == Fault::saveFails) {
            EXPECT_EQ(std::vector<std::string>{shown(MSG_CANNOT_SAVE)}, r.host.messages);
            EXPECT_EQ(LATCH_CONFIG, r.latch);
            EXPECT_EQ(-1, r.requests.back().answer);
        } else {
            EXPECT_TRUE(r.host.messages.empty());
            EXPECT_EQ(0, r.latch);
        }

        // The block saved: the stored one, or the defaults when the second
        // load fails; a failed first load starts the model dialog at TX-90,
        // whose defaults are then saved.
        PlotSettings saved;
        std::memcpy(saved.bytes, r.host.stored, 40);
        if (f == Fault::loadFails && in.index == 0) {
            EXPECT_EQ(0, saved.modelIndex());
        } else if (f == Fault::loadFails) {
            EXPECT_EQ(2, saved.modelIndex());
            EXPECT_NE(0, std::memcmp(stored.bytes, saved.bytes, 40));
        } else {
            EXPECT_EQ(0, std::memcmp(stored.bytes, saved.bytes, 40));
        }

        // The pen settings file: intact, or rewritten with the defaults that
        // replaced an unreadable file (never when the save failed).
        std::string penFile = referencePenFile();
        if (f == Fault::penFileMissing || f == Fault::penFileCorrupt) penFile = defaultPenFile();
        if (f == Fault::penFileUnreadable) penFile = "<directory>";
        EXPECT_TRUE(penFile == r.penFile) << "pen settings file";
        if (f == Fault::penFileUnwritable) {
            EXPECT_TRUE(r.newIsDirectory);
        }
        // Written by request 47 after a successful save, where it can be.
        const bool written = f != Fault::saveFails && f != Fault::penFileUnwritable &&
                             f != Fault::penFileUnreadable;
        EXPECT_EQ(written, r.penFileReplaced);
    });
}

}  // namespace
}  // namespace tavix::reliability
