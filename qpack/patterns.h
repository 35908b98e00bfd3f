// Patterns of file paths for the [[files]] tables of a manifest: parts
// separated by '/', "*" and "?" inside a part, and "**" as a whole part for
// any number of folders, none included.
#pragma once
#include <string>

// Whether a relative path ('/' between its parts) matches the pattern.
bool MatchesPattern(const std::string& pattern, const std::string& path);

// What is wrong with a pattern, or "" for a usable one: it stays inside the
// folder it is applied to (no absolute path, drive or ".." part).
std::string PatternProblem(const std::string& pattern);
