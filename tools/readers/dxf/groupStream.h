// Feeds a DXF file to dxflib one line at a time and checks every group on
// the way: the code is a group code, a number is a finite number in range.
// dxflib reads "abc" or "nan" as 0 and an early end as a complete file;
// here each becomes an error that names its line. Because dxflib asks for
// exactly one line at a time, the group seen last here is the one dxflib is
// reading, so listeners can keep values dxflib does not pass on.
#pragma once

#include <cstdio>
#include <functional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace tavix::dxf {

// Largest coordinate, length or angle accepted in a drawing's geometry.
// Beyond it the plot's arithmetic loses the drawing's precision.
constexpr double LARGEST_DRAWING_VALUE = 1e10;
// The longest line accepted (DXF values are at most a few hundred characters).
constexpr size_t LONGEST_LINE = 1 << 20;
// dxflib reads at most 1,023 characters a line and loops for ever on a longer
// one: longer lines reach it shortened (the number, or the start of the text),
// and listeners take the whole value from the group.
constexpr size_t LONGEST_LIBRARY_LINE = 1000;

struct Group {
    int code = 0;
    std::string_view value;   // trimmed of spaces and the line end
    std::string_view text;    // only the line end removed, as dxflib keeps text values
    int line = 0;             // line of the value (1-based)
    double number = 0;        // the value read as a number, for numeric codes
};

class GroupStream : public std::streambuf {
public:
    explicit GroupStream(std::FILE* file);

    // Called for every group once its value line has been read.
    std::function<void(const Group&)> onGroup;

    bool failed() const { return !errorText.empty(); }
    const std::string& error() const { return errorText; }
    // Line of the last line handed out.
    int line() const { return lineNumber; }
    bool sawEnd() const { return endSeen; }
    const std::string& section() const { return sectionName; }
    // Call after the reader finished: reports a file that stopped early.
    void finish();
    // Fails with an error about line `at` (0: the current line).
    void fail(const std::string& what, int at = 0);
    // Fails with a message that already names its line.
    void failWith(const std::string& message) {
        if (errorText.empty()) errorText = message;
    }

protected:
    int_type underflow() override;

private:
    bool fillBuffer();
    void checkLine(std::string_view text);
    void shortenFor(std::string_view value, const Group* group);
    bool checkNumber(int code, std::string_view value, double& out);

    std::FILE* file;
    std::vector<char> buffer;
    size_t begin = 0, end = 0;    // unread bytes of the buffer
    bool atEof = false;
    int lineNumber = 0;
    bool expectValue = false;
    int pendingCode = 0;
    std::string sectionName;      // the section being read
    bool sectionNameNext = false;
    bool endSeen = false;
    std::string errorText;
    bool shortenLine = false;     // the line being checked is too long for dxflib
    std::string shortLine;        // what dxflib gets instead
};

// The kind of value a group code carries.
enum class GroupValue { Text, Real, Integer };
GroupValue groupValueOf(int code);

// For messages: a value shown short, so a huge token is not echoed whole.
std::string shortened(std::string_view text);

}  // namespace tavix::dxf
