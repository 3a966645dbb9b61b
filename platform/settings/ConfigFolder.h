#pragma once
// Where the per-user settings of a company's programs live: the XDG config
// folder ($XDG_CONFIG_HOME when it is an absolute path, else ~/.config),
// then the company name. Nothing is created here; writers create what is
// missing when they first write.

#include <filesystem>
#include <string>

std::filesystem::path ConfigFolder(const std::string& company);

// A name made safe to use as one path component: no '/', no NUL, never
// empty, "." or "..".
std::string PathComponent(const std::string& name);
