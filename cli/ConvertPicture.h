#pragma once

// Converting one picture of a run into its document, picture or text.

#include <cstdio>
#include <string>

#include "ConvertOptions.h"
#include "ConvertPlan.h"

namespace glimmora {

// One line on the error stream, prefixed with the program's name. Names and
// option values in it are shown as file names are: no control character
// reaches the terminal.
int Fail(std::FILE* err, int code, const std::string& message);

// Converts one picture into its document. Returns the exit code.
int ConvertOne(const ConvertRequest& request, const Plan& plan, const Job& job, std::FILE* out,
               std::FILE* err);

} // namespace glimmora
