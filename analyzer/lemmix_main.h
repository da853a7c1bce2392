// The lemmix command: `lemmix [options] [input file] [output file]`.
#pragma once

// Parses the command line, opens the input and the output (a missing name or "-" is the
// standard stream), runs the analysis and finishes the output. Returns the exit status: 0 after
// a whole run, the usage text (-h, -?) or the version (-v); 1 after an option error (its line
// and the usage text on standard error), an unknown encoding, a file that cannot be opened, an
// input that opens but cannot be read (a directory, a closed standard input), an output that
// is the input's regular file (also through a standard stream; in both cases nothing is read or
// written), or a failed run ("Aborted." on standard error). --svnrevision prints the revision
// line and ends the process with status 0 while the options are parsed.
int LemmixMain(int argc, char** argv);
