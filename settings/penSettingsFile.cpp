// The pen settings file "tavixdrv.def": the pen table, the gray list and the
// two stamp texts, which do not fit in the 40-byte block the host stores.
//
// 767 lines, each ended by CR LF, in this order:
//   PenGray<n>=<gray>          n = 1..255, the gray list (0..100)
//   Comment=<text>             the stamp comment, at most 80 bytes
//   DrawName=<text>            the stamp drawing name, at most 40 bytes
//   LumenWide<n>=<width>       n = 1..255, alternating with the next line:
//   LumenGray<n>=<gray>        pen width in mm with three decimals, pen gray
//
// The file is read and written in binary mode with explicit CR LF, so both
// builds give and accept the same bytes; numbers are read and written by
// our own code, whatever the locale.
#include <cstdio>
#include <cstring>

#include "platform/fileReplace.h"
#include "runtime/decimalText.h"
#include "tavix/penSettingsFile.h"
#include "tavix/driverState.h"
#include "settings/settingsDefaults.h"
#include "runtime/shiftJis.h"
#include "runtime/textFormat.h"

namespace tavix {
namespace {

// Line limits of the reader, line feed included.
constexpr size_t PEN_LINE_LIMIT = 79;
constexpr size_t TEXT_LINE_LIMIT = 99;

constexpr int GRAY_MAX = 100;
constexpr double WIDTH_MAX = 25.4;  // millimetres
constexpr double SMALLEST_WRITTEN_WIDTH = 0.001;  // three decimals

// Everything the file holds; the reader fills one and hands it over only
// when the whole file has been accepted.
struct PenFileData {
    uint8_t grayList[PEN_COUNT];
    char comment[COMMENT_SIZE];
    char drawName[DRAW_NAME_SIZE];
    PenEntry pens[PEN_COUNT];
};

// Reads lines as a Windows C runtime's text mode gives them, so that a file
// reads the same in both builds: CR LF becomes LF, and a line longer than
// the limit is split, its rest being the next line.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}

    // False when no character is left.
    bool next(char* line, size_t limit) {
        size_t n = 0;
        while (n < limit) {
            int c = std::getc(file_);
            if (c == EOF) break;
            if (c == '\r') {
                int following = std::getc(file_);
                if (following == '\n')
                    c = '\n';
                else if (following != EOF)
                    std::ungetc(following, file_);
            }
            line[n++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        line[n] = '\0';
        return n > 0;
    }

private:
    std::FILE* file_;
};

void buildKey(char* key, size_t size, const char* name, int pen) {
    TextBuilder(key, size).text(name).integer(pen).character('=');
}

// The value after `key`, or null when the line does not begin with it.
const char* valueAfter(const char* line, const char* key) {
    size_t length = std::strlen(key);
    return std::strncmp(line, key, length) == 0 ? line + length : nullptr;
}

bool readGray(LineReader& lines, const char* name, int pen, uint8_t& gray) {
    char line[PEN_LINE_LIMIT + 1];
    char key[32];
    if (!lines.next(line, PEN_LINE_LIMIT)) return false;
    buildKey(key, sizeof key, name, pen);
    const char* value = valueAfter(line, key);
    if (value == nullptr) return false;
    int32_t number = parseDecimalInteger(value);
    if (number < 0 || number > GRAY_MAX) return false;
    gray = static_cast<uint8_t>(number);
    return true;
}

bool readWidth(LineReader& lines, int pen, float& width) {
    char line[PEN_LINE_LIMIT + 1];
    char key[32];
    if (!lines.next(line, PEN_LINE_LIMIT)) return false;
    buildKey(key, sizeof key, "LumenWide", pen);
    const char* value = valueAfter(line, key);
    if (value == nullptr) return false;
    double number = parseDecimalNumber(value);
    // Checked as a double first: a value beyond the float range has no
    // float to be converted to.
    if (!(number > 0.0) || number > WIDTH_MAX * 2) return false;
    float stored = static_cast<float>(number);
    if (!(stored > 0.0f) || static_cast<double>(stored) > WIDTH_MAX) return false;
    width = stored;
    return true;
}

// A text line: the rest after `key`, less one trailing line feed, cut to the
// field without splitting a two-byte character.
bool readText(LineReader& lines, const char* key, char* field, size_t fieldSize) {
    char line[TEXT_LINE_LIMIT + 1];
    if (!lines.next(line, TEXT_LINE_LIMIT)) return false;
    const char* value = valueAfter(line, key);
    if (value == nullptr) return false;
    size_t length = std::strlen(value);
    if (length > 0 && value[length - 1] == '\n') --length;
    char rest[TEXT_LINE_LIMIT + 1];
    std::memcpy(rest, value, length);
    rest[length] = '\0';
    size_t kept = shiftJisPrefixLength(rest, fieldSize - 1);
    std::memset(field, 0, fieldSize);
    std::memcpy(field, rest, kept);
    return true;
}

bool readAll(std::FILE* file, PenFileData& data) {
    LineReader lines(file);
    for (int pen = 1; pen <= PEN_COUNT; ++pen)
        if (!readGray(lines, "PenGray", pen, data.grayList[pen - 1])) return false;
    if (!readText(lines, "Comment=", data.comment, sizeof data.comment)) return false;
    if (!readText(lines, "DrawName=", data.drawName, sizeof data.drawName)) return false;
    for (int pen = 1; pen <= PEN_COUNT; ++pen) {
        if (!readWidth(lines, pen, data.pens[pen - 1].penWidth)) return false;
        if (!readGray(lines, "LumenGray", pen, data.pens[pen - 1].penGray)) return false;
    }
    return true;  // lines after the last gray are not read
}

class LineWriter {
public:
    explicit LineWriter(std::FILE* file) : file_(file) {}

    // Writes the line and its CR LF; remembers any failure.
    void put(const TextBuilder& line) {
        if (line.truncated()) ok_ = false;
        if (std::fwrite(line.str(), 1, line.length(), file_) != line.length()) ok_ = false;
        if (std::fwrite("\r\n", 1, 2, file_) != 2) ok_ = false;
    }
    bool ok() const { return ok_; }

private:
    std::FILE* file_;
    bool ok_ = true;
};

// A text field, bounded by its size even when it lacks its NUL.
void putText(LineWriter& out, const char* key, const char* field, size_t fieldSize) {
    char text[COMMENT_SIZE];
    size_t length = 0;
    while (length + 1 < fieldSize && length + 1 < sizeof text && field[length] != '\0') ++length;
    std::memcpy(text, field, length);
    // A line break inside the text would end the line early and make the
    // whole file unreadable; it is kept as a space.
    for (size_t i = 0; i < length; ++i)
        if (text[i] == '\r' || text[i] == '\n') text[i] = ' ';
    text[length] = '\0';
    char line[128];
    out.put(TextBuilder(line, sizeof line).text(key).text(text));
}

bool writeAll(std::FILE* file) {
    LineWriter out(file);
    char line[64];
    for (int pen = 1; pen <= PEN_COUNT; ++pen)
        out.put(TextBuilder(line, sizeof line)
                    .text("PenGray")
                    .integer(pen)
                    .character('=')
                    .integer(state.penGrayList[pen - 1]));
    putText(out, "Comment=", state.comment, sizeof state.comment);
    putText(out, "DrawName=", state.drawName, sizeof state.drawName);
    for (int pen = 1; pen <= PEN_COUNT; ++pen) {
        const PenEntry& entry = state.penTable[pen - 1];
        // A positive width below half a thousandth of a millimetre would be
        // written as 0.000, which the reader refuses, losing every pen on the
        // next read: it is written as the smallest width the file holds.
        double width = static_cast<double>(entry.penWidth);
        if (width > 0.0 && width < SMALLEST_WRITTEN_WIDTH / 2) width = SMALLEST_WRITTEN_WIDTH;
        out.put(TextBuilder(line, sizeof line)
                    .text("LumenWide")
                    .integer(pen)
                    .character('=')
                    .fixed(width, 3));
        out.put(TextBuilder(line, sizeof line)
                    .text("LumenGray")
                    .integer(pen)
                    .character('=')
                    .integer(entry.penGray));
    }
    return out.ok();
}

}  // namespace

int readPenSettingsFile() {
    std::FILE* file = std::fopen(PEN_SETTINGS_FILE, "rb");
    if (file == nullptr) return -1;
    static PenFileData data;
    std::memset(&data, 0, sizeof data);
    bool accepted = readAll(file, data);
    std::fclose(file);
    if (!accepted) return -1;
    std::memcpy(state.penGrayList, data.grayList, sizeof state.penGrayList);
    std::memcpy(state.comment, data.comment, sizeof state.comment);
    std::memcpy(state.drawName, data.drawName, sizeof state.drawName);
    std::memcpy(state.penTable, data.pens, sizeof state.penTable);
    state.penDataValid = true;
    return 0;
}

int writePenSettingsFile() {
    // Pen data that was never loaded or defaulted is all zero: writing it
    // would replace the user's file with one that cannot be read back.
    if (!state.penDataValid) return -1;
    std::FILE* file = std::fopen(PEN_SETTINGS_FILE_NEW, "wb");
    if (file == nullptr) return -1;
    bool ok = writeAll(file);
    if (std::fflush(file) != 0) ok = false;
    if (std::fclose(file) != 0) ok = false;
    // The old file stays until the new one is complete.
    if (!ok || replaceFile(PEN_SETTINGS_FILE_NEW, PEN_SETTINGS_FILE) != 0) {
        std::remove(PEN_SETTINGS_FILE_NEW);
        return -1;
    }
    return 0;
}

}  // namespace tavix
