// The filter's answers to --help and --version, for a person (and for the
// manual page, which is made from them). CUPS itself never passes either.
#pragma once

namespace tavix::cups {

// True when the command line is `rastertotavix --help` or `--version`: the
// text went to standard output and `status` is the exit status.
bool answerHelpOrVersion(int argc, char* argv[], int& status);

// The same for `pdftotavix`.
bool answerPdfFilterHelpOrVersion(int argc, char* argv[], int& status);

}  // namespace tavix::cups
