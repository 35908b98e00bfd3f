// The package's texts: the shipped English strings, the strings file
// [product] names, and the manifest's own [texts].
#include "manifest_sections.h"
#include "codepage.h"

namespace manifest_reading {

namespace {

void ReadStringsFile(Reader& r, const std::string& name, const std::string& text, bool shipped,
                     TextSources& sources)
{
    toml::parse_result parsed = toml::parse(text, name);
    if (!parsed) {
        r.errors.push_back(name + ":" + std::to_string(parsed.error().source().begin.line) + ": " +
                           std::string(parsed.error().description()));
        return;
    }
    const toml::table* strings = parsed.table()["strings"].as_table();
    if (!strings) {
        r.errors.push_back(name + ":1: strings: a [strings] table is missing");
        return;
    }
    for (auto&& [key, node] : *strings) {
        const int slot = SlotByName(std::string(key.str()));
        const std::string where = name + ":" + std::to_string(node.source().begin.line) + ": strings." +
                                  std::string(key.str());
        if (slot < 0) {
            r.errors.push_back(where + ": unknown string slot name");
        } else if (!node.is_string()) {
            r.errors.push_back(where + ": must be a string");
        } else {
            sources.texts[slot] = node.as_string()->get();
            sources.where[slot] = where;
            sources.shipped[slot] = shipped;
        }
    }
}

std::string ReplaceProduct(std::string text, const std::string& product)
{
    const std::string token = "{product}";
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + product.size()))
        text.replace(at, token.size(), product);
    return text;
}

// Line breaks as Windows edit controls want them.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

void ReadTextOverrides(Reader& r, const toml::table& texts, TextSources& sources)
{
    for (auto&& [key, node] : texts) {
        const std::string name(key.str());
        const std::string path = "texts." + name;
        const int slot = SlotByName(name);
        if (slot < 0) {
            Fail(r, &node, path, "unknown string slot name");
            continue;
        }
        sources.at[slot] = &node;
        sources.shipped[slot] = false;
        if (node.is_string()) {
            sources.texts[slot] = node.as_string()->get();
            continue;
        }
        const toml::table* from = node.as_table();
        std::string file;
        if (!from || !Get(r, *from, path, "file", file) || from->size() != 1) {
            Fail(r, &node, path, "must be a text or { file = \"...\" }");
            continue;
        }
        std::vector<uint8_t> bytes;
        std::string failure;
        if (!ReadInput(r, file, bytes, failure))
            Fail(r, &node, path + ".file", failure);
        sources.texts[slot] = WithCrLf(std::string(bytes.begin(), bytes.end()));
    }
}

} // namespace

void FailText(Reader& r, const TextSources& sources, int slot, const std::string& what)
{
    if (sources.at[slot] || sources.where[slot].empty())
        Fail(r, sources.at[slot], "texts." + std::string(SlotNames[slot].name), what);
    else
        r.errors.push_back(sources.where[slot] + ": " + what);
}

void ReadTexts(Reader& r, const toml::table& root, const std::string& stringsFile, TextSources& sources,
               PackageInputs& in)
{
    ReadStringsFile(r, "strings/en.toml", ShippedStrings("en"), true, sources);
    if (!stringsFile.empty()) {
        const char* shipped = ShippedStrings(stringsFile);
        std::vector<uint8_t> bytes;
        std::string failure;
        if (shipped)
            ReadStringsFile(r, "strings/" + stringsFile + ".toml", shipped, true, sources);
        else if (ReadInput(r, stringsFile, bytes, failure))
            ReadStringsFile(r, stringsFile, std::string(bytes.begin(), bytes.end()), false, sources);
        else
            Fail(r, root["product"]["strings"].node(), "product.strings",
                 "is no shipped language (" + ShippedLanguages() + ") and no strings file: " + failure);
    }
    if (const toml::table* texts = GetTable(r, root, "", "texts"))
        ReadTextOverrides(r, *texts, sources);
    in.texts.resize(SLOT_COUNT);
    for (int i = 0; i < SLOT_COUNT; i++) {
        // A product name the code page cannot hold is reported once, at
        // product.name, not again in every text it stands in.
        std::string asWritten;
        if (!Utf8ToCodePage(sources.texts[i], r.codePage, asWritten))
            FailText(r, sources, i, CannotHold(r, sources.texts[i]));
        else if (Utf8ToCodePage(ReplaceProduct(sources.texts[i], r.product), r.codePage, in.texts[i]) &&
                 in.texts[i].size() > COUNT_LIMIT)
            FailText(r, sources, i, "is longer than 32767 bytes: " + std::to_string(in.texts[i].size()));
    }
}

} // namespace manifest_reading
