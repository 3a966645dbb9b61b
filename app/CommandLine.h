#pragma once
// The program's own command-line handling that runs before any window exists.

#include <string>
#include <vector>

// Removes the start-hidden option: the first '-' or '/' immediately followed
// by "DDE" (case-sensitive), wherever it stands, also inside a file name.
// Only those four characters go; the blanks around them stay. Returns true
// when the option was found, which means the window starts hidden.
bool RemoveStartHiddenOption(std::string& commandLine);

// What the long options ask of this start. They are read from the arguments
// before any application object exists, so that a request for help or the
// version needs no display, settings or running player.
enum class ProgramRequest { Run, Help, Version, UnknownOption };

struct ProgramOptions {
    ProgramRequest request = ProgramRequest::Run;
    // The option as given, for UnknownOption.
    std::string unknownOption;
    // The arguments the player takes, without the "--" that ends the options.
    std::vector<std::string> arguments;
};

// Reads the arguments from the left: "--help" and "--version" answer the
// start, "--" makes every later argument a file name, and any other argument
// that begins with "--" is an unknown option, unless it holds the
// start-hidden option ("--DDE"), which keeps that option's own rule. The first
// of help, version or an unknown option decides.
ProgramOptions ReadProgramOptions(const std::vector<std::string>& arguments);

// What --help and --version print. `program` is the name the program was run
// by, `helpIndex` the path of the help pages' index (empty when not found).
std::string UsageText(const std::string& program, const std::string& helpIndex);
std::string VersionText();
