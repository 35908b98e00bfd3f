// A tree of named values that qpack prints either as indented text for
// people or as JSON for programs.
#pragma once
#include <stdint.h>
#include <string>
#include <vector>

struct Report {
    enum Kind : char { OBJECT = '{', ARRAY = '[', TEXT = 's', NUMBER = 'n', FLAG = 'b', NOTHING = 'z' };
    Kind kind = OBJECT;
    std::string key;
    std::string text; // UTF-8
    int64_t number = 0;
    std::vector<Report> items;
};

Report& AddObject(Report& parent, const std::string& key = "");
Report& AddArray(Report& parent, const std::string& key);
void AddText(Report& parent, const std::string& key, const std::string& utf8);
void AddNumber(Report& parent, const std::string& key, int64_t value);
void AddFlag(Report& parent, const std::string& key, bool value);
void AddNothing(Report& parent, const std::string& key);

std::string RenderJson(const Report& r);
std::string RenderText(const Report& r);

// A message for a terminal: names as they are stored, with their control
// characters escaped (\x1B, \u009B) rather than obeyed.
std::string Printable(const std::string& text);
