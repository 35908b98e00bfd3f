#include "patterns.h"
#include <vector>

namespace {

std::vector<std::string> Parts(const std::string& path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('/', start);
        parts.push_back(path.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

bool MatchesPart(const char* pattern, const char* name)
{
    for (; *pattern; pattern++, name++) {
        if (*pattern == '*') {
            for (const char* rest = name;; rest++) {
                if (MatchesPart(pattern + 1, rest))
                    return true;
                if (!*rest)
                    return false;
            }
        }
        if (!*name || (*pattern != '?' && *pattern != *name))
            return false;
    }
    return !*name;
}

bool MatchesParts(const std::vector<std::string>& p, size_t i, const std::vector<std::string>& s, size_t j)
{
    if (i == p.size())
        return j == s.size();
    if (p[i] == "**") {
        for (size_t k = j; k <= s.size(); k++)
            if (MatchesParts(p, i + 1, s, k))
                return true;
        return false;
    }
    return j < s.size() && MatchesPart(p[i].c_str(), s[j].c_str()) && MatchesParts(p, i + 1, s, j + 1);
}

} // namespace

bool MatchesPattern(const std::string& pattern, const std::string& path)
{
    return MatchesParts(Parts(pattern), 0, Parts(path), 0);
}

std::string PatternProblem(const std::string& pattern)
{
    if (pattern.empty())
        return "is empty";
    if (pattern[0] == '/' || pattern.find('\\') != std::string::npos || pattern.find(':') != std::string::npos)
        return "must be a relative pattern with '/' between its parts";
    for (const std::string& part : Parts(pattern))
        if (part.empty() || part == "." || part == "..")
            return "must not contain empty, \".\" or \"..\" parts: it would reach outside its folder";
    return "";
}
