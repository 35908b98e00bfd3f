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

std::string Quoted(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : "\\u%04x", c);
            out += escaped;
        } else {
            out += (char)c;
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
