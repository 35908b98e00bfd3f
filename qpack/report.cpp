#include "report.h"
#include <stdio.h>

namespace {

Report& Add(Report& parent, Report::Kind kind, const std::string& key)
{
    parent.items.push_back(Report{});
    Report& item = parent.items.back();
    item.kind = kind;
    item.key = key;
    return item;
}

// Bytes of the control character at text[i], which a terminal might obey:
// C0 and DEL take one, C1 its two UTF-8 bytes; 0 for any other character.
size_t ControlLength(const std::string& text, size_t i)
{
    const unsigned char c = (unsigned char)text[i];
    if (c < 0x20 || c == 0x7F)
        return 1;
    const unsigned char next = i + 1 < text.size() ? (unsigned char)text[i + 1] : 0;
    return c == 0xC2 && next >= 0x80 && next < 0xA0 ? 2 : 0;
}

// The code point of a control character is its last byte.
unsigned ControlCode(const std::string& text, size_t i, size_t length)
{
    return (unsigned char)text[i + length - 1];
}

std::string JsonEscape(unsigned code)
{
    char escaped[8];
    snprintf(escaped, sizeof escaped,
             code == '\n' ? "\\n" : code == '\r' ? "\\r" : code == '\t' ? "\\t" : "\\u%04x", code);
    return escaped;
}

std::string Quoted(const std::string& utf8)
{
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size(); i++) {
        const char c = utf8[i];
        const size_t control = ControlLength(utf8, i);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (control) {
            out += JsonEscape(ControlCode(utf8, i, control));
            i += control - 1;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Scalar(const Report& r, const char* nothing = "null")
{
    switch (r.kind) {
    case Report::TEXT: return Quoted(r.text);
    case Report::NUMBER: return std::to_string(r.number);
    case Report::FLAG: return r.number ? "true" : "false";
    default: return nothing;
    }
}

bool IsScalar(const Report& r)
{
    return r.kind != Report::OBJECT && r.kind != Report::ARRAY;
}

// An array of plain values, such as a placement, fits on one line.
std::string InlineArray(const Report& r)
{
    std::string out = "[";
    for (size_t i = 0; i < r.items.size(); i++)
        out += (i ? ", " : "") + Scalar(r.items[i]);
    return out + "]";
}

bool AllScalars(const Report& r)
{
    for (const Report& item : r.items)
        if (!IsScalar(item))
            return false;
    return !r.items.empty();
}

void Json(const Report& r, bool inObject, std::string& out)
{
    if (inObject)
        out += Quoted(r.key) + ":";
    if (IsScalar(r)) {
        out += Scalar(r);
        return;
    }
    out += r.kind;
    for (size_t i = 0; i < r.items.size(); i++) {
        if (i)
            out += ',';
        Json(r.items[i], r.kind == Report::OBJECT, out);
    }
    out += r.kind == Report::OBJECT ? '}' : ']';
}

void Text(const Report& r, const std::string& indent, std::string& out)
{
    for (const Report& item : r.items) {
        const std::string name = item.key.empty() ? "-" : item.key + ":";
        if (IsScalar(item)) {
            out += indent + name + " " + Scalar(item, "none") + "\n";
        } else if (item.kind == Report::ARRAY && AllScalars(item)) {
            out += indent + name + " " + InlineArray(item) + "\n";
        } else {
            out += indent + name + (item.items.empty() ? " none" : "") + "\n";
            Text(item, indent + "  ", out);
        }
    }
}

} // namespace

Report& AddObject(Report& parent, const std::string& key) { return Add(parent, Report::OBJECT, key); }
Report& AddArray(Report& parent, const std::string& key) { return Add(parent, Report::ARRAY, key); }
void AddText(Report& parent, const std::string& key, const std::string& utf8) { Add(parent, Report::TEXT, key).text = utf8; }
void AddNumber(Report& parent, const std::string& key, int64_t value) { Add(parent, Report::NUMBER, key).number = value; }
void AddFlag(Report& parent, const std::string& key, bool value) { Add(parent, Report::FLAG, key).number = value; }
void AddNothing(Report& parent, const std::string& key) { Add(parent, Report::NOTHING, key); }

std::string Printable(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        const size_t control = ControlLength(text, i);
        if (!control) {
            out += text[i];
            continue;
        }
        char escaped[8];
        snprintf(escaped, sizeof escaped, control == 1 ? "\\x%02X" : "\\u%04X", ControlCode(text, i, control));
        out += escaped;
        i += control - 1;
    }
    return out;
}

std::string RenderJson(const Report& r)
{
    std::string out;
    Json(r, false, out);
    return out + "\n";
}

std::string RenderText(const Report& r)
{
    std::string out;
    Text(r, "", out);
    return out;
}
