// Reader of the resource-script subset (see resourceScript.h).
#include "platform/native/resourceScript.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/native/embeddedResources.h"

namespace tavix::native {

namespace {

struct NamedValue {
    const char* name;
    long value;
};

// The Win32 constants a script may name, with our <windows.h> values.
constexpr NamedValue win32Constants[] = {
    {"LANG_NEUTRAL", LANG_NEUTRAL}, {"LANG_ENGLISH", LANG_ENGLISH},
    {"LANG_JAPANESE", LANG_JAPANESE}, {"SUBLANG_NEUTRAL", SUBLANG_NEUTRAL},
    {"SUBLANG_DEFAULT", SUBLANG_DEFAULT}, {"SUBLANG_ENGLISH_US", SUBLANG_ENGLISH_US},
    {"IDOK", IDOK}, {"IDCANCEL", IDCANCEL},
    {"WS_OVERLAPPED", WS_OVERLAPPED}, {"WS_POPUP", static_cast<long>(WS_POPUP)},
    {"WS_CHILD", WS_CHILD}, {"WS_VISIBLE", WS_VISIBLE}, {"WS_DISABLED", WS_DISABLED},
    {"WS_CAPTION", WS_CAPTION}, {"WS_BORDER", WS_BORDER}, {"WS_DLGFRAME", WS_DLGFRAME},
    {"WS_VSCROLL", WS_VSCROLL}, {"WS_HSCROLL", WS_HSCROLL}, {"WS_SYSMENU", WS_SYSMENU},
    {"WS_GROUP", WS_GROUP}, {"WS_TABSTOP", WS_TABSTOP},
    {"DS_3DLOOK", DS_3DLOOK}, {"DS_SETFONT", DS_SETFONT}, {"DS_MODALFRAME", DS_MODALFRAME},
    {"DS_CENTER", DS_CENTER},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
    {"BS_CHECKBOX", BS_CHECKBOX}, {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
    {"BS_RADIOBUTTON", BS_RADIOBUTTON}, {"BS_GROUPBOX", BS_GROUPBOX},
    {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON}, {"BS_OWNERDRAW", BS_OWNERDRAW},
    {"BS_NOTIFY", BS_NOTIFY},
    {"ES_LEFT", ES_LEFT}, {"ES_AUTOHSCROLL", ES_AUTOHSCROLL}, {"ES_READONLY", ES_READONLY},
    {"ES_NUMBER", ES_NUMBER},
    {"SS_LEFT", SS_LEFT}, {"SS_CENTER", SS_CENTER}, {"SS_RIGHT", SS_RIGHT},
    {"CBS_SIMPLE", CBS_SIMPLE}, {"CBS_DROPDOWN", CBS_DROPDOWN},
    {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
    {"LBS_NOTIFY", LBS_NOTIFY}, {"LBS_USETABSTOPS", LBS_USETABSTOPS},
    {"LBS_EXTENDEDSEL", LBS_EXTENDEDSEL},
    {"UDS_WRAP", UDS_WRAP}, {"UDS_SETBUDDYINT", UDS_SETBUDDYINT},
    {"UDS_ALIGNRIGHT", UDS_ALIGNRIGHT}, {"UDS_ALIGNLEFT", UDS_ALIGNLEFT},
    {"UDS_AUTOBUDDY", UDS_AUTOBUDDY}, {"UDS_ARROWKEYS", UDS_ARROWKEYS},
};

// Control statements: class, style without a style given, base style with one.
struct ControlKeyword {
    const char* keyword;
    const char* className;
    bool hasText;
    uint32_t defaultStyle;
    uint32_t baseStyle;
};

constexpr ControlKeyword controlKeywords[] = {
    {"LTEXT", "STATIC", true, SS_LEFT | WS_GROUP, SS_LEFT},
    {"RTEXT", "STATIC", true, SS_RIGHT | WS_GROUP, SS_RIGHT},
    {"CTEXT", "STATIC", true, SS_CENTER | WS_GROUP, SS_CENTER},
    {"GROUPBOX", "BUTTON", true, BS_GROUPBOX, BS_GROUPBOX},
    {"PUSHBUTTON", "BUTTON", true, BS_PUSHBUTTON | WS_TABSTOP, BS_PUSHBUTTON},
    {"DEFPUSHBUTTON", "BUTTON", true, BS_DEFPUSHBUTTON | WS_TABSTOP, BS_DEFPUSHBUTTON},
    {"AUTORADIOBUTTON", "BUTTON", true, BS_AUTORADIOBUTTON | WS_TABSTOP, BS_AUTORADIOBUTTON},
    {"EDITTEXT", "EDIT", false, ES_LEFT | WS_BORDER | WS_TABSTOP, ES_LEFT | WS_BORDER | WS_TABSTOP},
    {"COMBOBOX", "COMBOBOX", false, CBS_SIMPLE | WS_TABSTOP, 0},
    {"LISTBOX", "LISTBOX", false, LBS_NOTIFY | WS_BORDER, LBS_NOTIFY | WS_BORDER},
};

enum class TokenKind { End, Identifier, Number, String, Punct };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;  // identifier, string contents, or the punctuation
    long number = 0;
    int line = 0;
};

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token next() {
        skipSpace();
        Token t;
        t.line = line_;
        if (pos_ >= text_.size()) return t;
        char c = text_[pos_];
        if (c == '"') {
            t.kind = TokenKind::String;
            ++pos_;
            while (pos_ < text_.size()) {
                char d = text_[pos_++];
                if (d == '"') {
                    if (pos_ < text_.size() && text_[pos_] == '"') {  // "" is a quote
                        t.text += '"';
                        ++pos_;
                        continue;
                    }
                    return t;
                }
                if (d == '\\' && pos_ < text_.size()) {
                    char e = text_[pos_++];
                    t.text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                    continue;
                }
                if (d == '\n') ++line_;
                t.text += d;
            }
            t.kind = TokenKind::End;  // unterminated
            t.text = "unterminated text";
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            t.kind = TokenKind::Number;
            size_t start = pos_;
            while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_]))) ++pos_;
            std::string digits(text_.substr(start, pos_ - start));
            while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' ||
                                       digits.back() == 'U' || digits.back() == 'u'))
                digits.pop_back();
            t.text = digits;
            t.number = static_cast<long>(std::strtoul(digits.c_str(), nullptr, 0));
            return t;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            t.kind = TokenKind::Identifier;
            size_t start = pos_;
            while (pos_ < text_.size() &&
                   (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                ++pos_;
            t.text = std::string(text_.substr(start, pos_ - start));
            return t;
        }
        t.kind = TokenKind::Punct;
        t.text = std::string(1, c);
        ++pos_;
        return t;
    }

private:
    void skipSpace() {
        bool lineStart = pos_ == 0 || text_[pos_ - 1] == '\n';
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
                lineStart = true;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '#' && lineStart) {  // preprocessor lines
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.substr(pos_, 2) == "/*") {
                size_t end = text_.find("*/", pos_ + 2);
                end = end == std::string_view::npos ? text_.size() : end + 2;
                for (size_t i = pos_; i < end; ++i)
                    if (text_[i] == '\n') ++line_;
                pos_ = end;
            } else {
                return;
            }
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
};

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

class Parser {
public:
    Parser(std::string_view text, ResourceScript& out) : lexer_(text), out_(out) { advance(); }

    bool run() {
        int language = 0;
        while (ok_ && token_.kind != TokenKind::End) {
            if (isWord("LANGUAGE")) {
                advance();
                long primary = expression();
                expect(",");
                long sub = expression();
                language = static_cast<int>(MAKELANGID(primary, sub));
                continue;
            }
            Token name = token_;
            if (name.kind != TokenKind::Identifier && name.kind != TokenKind::Number) {
                return fail("a resource name expected");
            }
            advance();
            if (isWord("DIALOGEX") || isWord("DIALOG")) {
                advance();
                dialog(name.text, language);
            } else if (isWord("BITMAP")) {
                advance();
                BitmapResource b;
                b.language = language;
                if (name.kind == TokenKind::Number) {
                    b.id = static_cast<int>(name.number);
                } else if (!lookup(name.text, b.id)) {
                    return fail("bitmap name " + name.text + " is not a number");
                }
                if (token_.kind != TokenKind::String) return fail("bitmap file expected");
                b.file = token_.text;
                advance();
                out_.bitmaps.push_back(b);
            } else {
                return fail("unknown statement " + token_.text);
            }
        }
        return ok_;
    }

    // Reads "#define NAME value" lines of a header.
    static void readDefines(std::string_view header, std::map<std::string, long>& defines) {
        size_t pos = 0;
        while (pos < header.size()) {
            size_t end = header.find('\n', pos);
            if (end == std::string_view::npos) end = header.size();
            std::string_view line = header.substr(pos, end - pos);
            pos = end + 1;
            size_t first = line.find_first_not_of(" \t");
            if (first == std::string_view::npos || line.substr(first, 7) != "#define") continue;
            line = line.substr(first + 7);
            size_t comment = line.find("/*");
            if (comment != std::string_view::npos) line = line.substr(0, comment);
            comment = line.find("//");
            if (comment != std::string_view::npos) line = line.substr(0, comment);
            ResourceScript scratch;
            scratch.defines = defines;
            Parser p(line, scratch);
            if (p.token_.kind != TokenKind::Identifier) continue;
            std::string name = p.token_.text;
            p.advance();
            if (p.token_.kind == TokenKind::End) continue;  // a guard without a value
            long value = p.expression();
            if (p.ok_ && p.token_.kind == TokenKind::End) defines[name] = value;
        }
    }

private:
    void dialog(const std::string& name, int language) {
        DialogTemplate d;
        d.name = upper(name);
        d.language = language;
        d.x = static_cast<int>(expression());
        expect(",");
        d.y = static_cast<int>(expression());
        expect(",");
        d.cx = static_cast<int>(expression());
        expect(",");
        d.cy = static_cast<int>(expression());
        if (isPunct(",")) {  // help id
            advance();
            expression();
        }
        while (ok_) {
            if (isWord("STYLE")) {
                advance();
                d.style = styleExpression(0);
            } else if (isWord("EXSTYLE")) {
                advance();
                d.exStyle = styleExpression(0);
            } else if (isWord("CAPTION")) {
                advance();
                d.caption = text();
            } else if (isWord("FONT")) {
                advance();
                d.fontSize = static_cast<int>(expression());
                expect(",");
                d.fontName = text();
                if (isPunct(",")) {
                    advance();
                    d.fontWeight = static_cast<int>(expression());
                    expect(",");
                    d.fontItalic = static_cast<int>(expression());
                    expect(",");
                    d.fontCharset = static_cast<int>(expression());
                }
            } else {
                break;
            }
        }
        if (d.fontSize != 0) d.style |= DS_SETFONT;
        if (!(isWord("BEGIN") || isPunct("{"))) {
            fail("BEGIN expected");
            return;
        }
        advance();
        while (ok_ && !(isWord("END") || isPunct("}"))) {
            if (token_.kind == TokenKind::End) {
                fail("END expected");
                return;
            }
            control(d);
        }
        advance();
        if (ok_) out_.dialogs.push_back(std::move(d));
    }

    void control(DialogTemplate& d) {
        ControlTemplate c;
        c.keyword = upper(token_.text);
        advance();
        if (c.keyword == "CONTROL") {
            c.text = text();
            expect(",");
            c.id = static_cast<int>(expression());
            expect(",");
            c.className = upper(token_.kind == TokenKind::String ? token_.text : token_.text);
            advance();
            expect(",");
            c.style = styleExpression(WS_CHILD | WS_VISIBLE);
            expect(",");
            rectangle(c);
            if (isPunct(",")) {
                advance();
                c.exStyle = styleExpression(0);
            }
            d.controls.push_back(c);
            return;
        }
        const ControlKeyword* k = nullptr;
        for (const auto& candidate : controlKeywords)
            if (c.keyword == candidate.keyword) k = &candidate;
        if (k == nullptr) {
            fail("unknown control statement " + c.keyword);
            return;
        }
        c.className = k->className;
        if (k->hasText) {
            c.text = text();
            expect(",");
        }
        c.id = static_cast<int>(expression());
        expect(",");
        rectangle(c);
        c.style = WS_CHILD | WS_VISIBLE | k->defaultStyle;
        if (isPunct(",")) {
            advance();
            c.style = styleExpression(WS_CHILD | WS_VISIBLE | k->baseStyle);
            if (isPunct(",")) {
                advance();
                c.exStyle = styleExpression(0);
            }
        }
        d.controls.push_back(c);
    }

    void rectangle(ControlTemplate& c) {
        c.x = static_cast<int>(expression());
        expect(",");
        c.y = static_cast<int>(expression());
        expect(",");
        c.cx = static_cast<int>(expression());
        expect(",");
        c.cy = static_cast<int>(expression());
    }

    std::string text() {
        if (token_.kind != TokenKind::String) {
            fail("text expected");
            return {};
        }
        std::string s = token_.text;
        advance();
        return s;
    }

    // "A | B | NOT C" applied to start.
    uint32_t styleExpression(uint32_t start) {
        uint32_t value = start;
        while (ok_) {
            bool negate = false;
            if (isWord("NOT")) {
                negate = true;
                advance();
            }
            uint32_t term = static_cast<uint32_t>(primary());
            value = negate ? (value & ~term) : (value | term);
            if (!isPunct("|")) break;
            advance();
        }
        return value;
    }

    long expression() {
        long value = primary();
        while (ok_ && isPunct("|")) {
            advance();
            value |= primary();
        }
        return value;
    }

    long primary() {
        if (isPunct("(")) {
            advance();
            long v = expression();
            expect(")");
            return v;
        }
        if (isPunct("-")) {
            advance();
            return -primary();
        }
        if (token_.kind == TokenKind::Number) {
            long v = token_.number;
            advance();
            return v;
        }
        if (token_.kind == TokenKind::Identifier) {
            int v = 0;
            if (!lookup(token_.text, v)) {
                fail("unknown name " + token_.text);
                return 0;
            }
            advance();
            return v;
        }
        fail("number expected");
        return 0;
    }

    bool lookup(const std::string& name, int& value) const {
        auto it = out_.defines.find(name);
        if (it != out_.defines.end()) {
            value = static_cast<int>(it->second);
            return true;
        }
        for (const auto& c : win32Constants) {
            if (name == c.name) {
                value = static_cast<int>(c.value);
                return true;
            }
        }
        return false;
    }

    bool isWord(const char* w) const {
        return token_.kind == TokenKind::Identifier && upper(token_.text) == w;
    }
    bool isPunct(const char* p) const { return token_.kind == TokenKind::Punct && token_.text == p; }
    void expect(const char* p) {
        if (!isPunct(p)) {
            fail(std::string("'") + p + "' expected");
            return;
        }
        advance();
    }
    void advance() { token_ = lexer_.next(); }
    bool fail(const std::string& what) {
        if (ok_) out_.error = "line " + std::to_string(token_.line) + ": " + what;
        ok_ = false;
        token_.kind = TokenKind::End;
        return false;
    }

    Lexer lexer_;
    ResourceScript& out_;
    Token token_;
    bool ok_ = true;
};

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

const ControlTemplate* DialogTemplate::control(int wanted) const {
    for (const auto& c : controls)
        if (c.id == wanted) return &c;
    return nullptr;
}

bool parseResourceScript(std::string_view script, std::string_view header, ResourceScript& out) {
    Parser::readDefines(header, out.defines);
    Parser p(script, out);
    return p.run();
}

std::string_view embeddedFile(std::string_view path) {
    for (int i = 0; i < embeddedFileCount; ++i)
        if (path == embeddedFiles[i].path)
            return {reinterpret_cast<const char*>(embeddedFiles[i].bytes), embeddedFiles[i].size};
    return {};
}

const ResourceScript& driverResources() {
    static const ResourceScript script = [] {
        ResourceScript s;
        parseResourceScript(embeddedFile("tavixdrv.rc"), embeddedFile("resource.h"), s);
        return s;
    }();
    return script;
}

const DialogTemplate* findDialogTemplate(std::string_view name) {
    for (const auto& d : driverResources().dialogs)
        if (sameName(d.name, name)) return &d;
    return nullptr;
}

const BitmapResource* findBitmapResource(int id) {
    for (const auto& b : driverResources().bitmaps)
        if (b.id == id) return &b;
    return nullptr;
}

}  // namespace tavix::native
