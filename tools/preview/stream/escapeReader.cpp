#include "escapeReader.h"

#include <algorithm>

namespace tavix::preview {
namespace {

bool isParameterized(int c) { return c >= 0x21 && c <= 0x2F; }
bool isGroup(int c) { return c >= 0x60 && c <= 0x7E; }
bool isFinal(int c) { return c >= 0x40 && c <= 0x5E; }

char upper(int c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); }

bool carriesData(const EscCommand& command) {
    if (command.letter == 'W') return true;
    return command.family == '*' && command.group == 'b' && command.letter == 'V';
}

// Data beyond this is read past, not kept: the widest row the reader
// keeps is 100,000 pixels of three bytes, and compression adds little.
constexpr size_t MAX_DATA_KEPT = 4 << 20;

void takeData(StreamContext& ctx, EscCommand& command) {
    long long wanted = command.value > 0 ? static_cast<long long>(command.value) : 0;
    size_t count = static_cast<size_t>(wanted);
    size_t kept = std::min(count, MAX_DATA_KEPT);
    size_t available = ctx.ensure(kept);
    if (available < kept) command.dataTruncated = true;
    command.data = ctx.bytes(ctx.pos, available);
    ctx.pos += available;
    command.dataSkipped = available < kept ? 0 : count - kept;
}

// "ESC .R", "ESC .@;1:", "ESC .I81;0;17:": a letter, then numbers and
// semicolons ended by a colon when the letter takes parameters.
void readDeviceControl(StreamContext& ctx, size_t start,
                       const std::function<void(const EscCommand&)>& onCommand) {
    EscCommand command;
    command.offset = start;
    command.family = '.';
    int letter = ctx.peek();
    if (letter < 0) {
        ctx.warn(start, "device-control string cut off at the end of data");
        return;
    }
    command.letter = static_cast<char>(letter);
    ++ctx.pos;
    size_t scan = 0;
    while (scan < 64) {
        int c = ctx.peek(scan);
        if ((c >= '0' && c <= '9') || c == ';') {
            ++scan;
            continue;
        }
        if (c == ':') ++scan;
        else if (scan > 0) scan = 0;  // digits without their colon belong to what follows
        break;
    }
    ctx.pos += scan;
    onCommand(command);
}

}  // namespace

void readEscape(StreamContext& ctx, const std::function<void(const EscCommand&)>& onCommand) {
    size_t start = ctx.pos;
    ++ctx.pos;  // ESC
    int first = ctx.peek();
    if (first < 0) {
        ctx.warn(start, "escape sequence cut off at the end of data");
        return;
    }
    if (first == '.') {
        ++ctx.pos;
        readDeviceControl(ctx, start, onCommand);
        return;
    }
    if (!isParameterized(first)) {
        if (first >= 0x30 && first <= 0x7E) {
            ++ctx.pos;
            EscCommand command;
            command.offset = start;
            command.letter = static_cast<char>(first);
            onCommand(command);
        } else {
            ctx.warn(start, "malformed escape sequence: ESC followed by " + describeByte(first));
        }
        return;
    }
    ++ctx.pos;
    char group = 0;
    if (isGroup(ctx.peek())) {
        group = static_cast<char>(ctx.peek());
        ++ctx.pos;
    }
    for (int commands = 0;; ++commands) {
        EscCommand command;
        command.offset = start;
        command.family = static_cast<char>(first);
        command.group = group;
        int sign = ctx.peek();
        Decimal number;
        if (readDecimal(ctx, number)) {
            command.hasValue = true;
            command.value = number.value;
            command.valueSigned = sign == '+' || sign == '-';
            if (number.tooLarge) ctx.warn(start, "number too large in escape sequence, clamped");
        }
        int terminator = ctx.peek();
        if (terminator < 0) {
            ctx.warn(start, "escape sequence cut off at the end of data");
            return;
        }
        if (!isGroup(terminator) && !isFinal(terminator)) {
            ctx.warn(ctx.pos, "malformed escape sequence: unexpected " + describeByte(terminator));
            return;
        }
        ++ctx.pos;
        command.letter = upper(terminator);
        if (carriesData(command)) {
            takeData(ctx, command);
            if (command.dataTruncated)
                ctx.warn(start, "data of " + describeCommand(command) + " cut off at the end of data");
        }
        onCommand(command);
        if (command.dataSkipped > 0) {
            ctx.warn(start, "data of " + describeCommand(command) + " beyond " + numberText(MAX_DATA_KEPT) +
                                " bytes skipped");
            size_t before = ctx.pos;
            ctx.skip(command.dataSkipped);
            if (ctx.pos - before < command.dataSkipped)
                ctx.warn(start, "data of " + describeCommand(command) + " cut off at the end of data");
        }
        if (isFinal(terminator)) return;
        if (commands > 1000) {
            ctx.warn(start, "escape sequence with too many parameters");
            return;
        }
    }
}

std::string describeCommand(const EscCommand& command) {
    std::string text = "ESC";
    if (command.family) text += command.family;
    if (command.group) text += command.group;
    if (command.hasValue) {
        long long whole = static_cast<long long>(command.value);
        if (command.value == static_cast<double>(whole)) text += numberText(whole);
        else text += fixedText(command.value, 3);
    }
    if (command.letter) text += command.letter;
    return text;
}

}  // namespace tavix::preview
