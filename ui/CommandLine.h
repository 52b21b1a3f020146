#pragma once
// The program's command line: `quillet [FILE...]`. --help and --version print their text and
// end before any window or file is touched; the files are handed to the running copy of the
// library, which brings them into the selected category as the drop window does.

#include <QByteArray>
#include <QList>

#include <optional>

namespace ui::commandline {

// Answers --help (-h, --help-all) and --version (-v) alone: prints and returns the exit code;
// nothing when the program is to start. Runs before the application object exists.
std::optional<int> answerAlone(int argc, char** argv);

// The files named, after the application object took its own options out of argv: absolute
// paths as their bytes (a name need not be UTF-8), relative ones taken from the working
// folder. Nothing, after a message, when an option is not the program's.
std::optional<QList<QByteArray>> files(int argc, char** argv);

} // namespace ui::commandline
