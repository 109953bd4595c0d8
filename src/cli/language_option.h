// nlx --lang CODE: the language of the operator texts nlx prints, before the command's name.
#pragma once

namespace nlx::cli {

// Takes "--lang X" or "--lang=X" given before the command's name out of argv and puts the
// language chosen (by it, NLX_LANG, language.cfg or the locale) in use. A choice on the command
// line is passed on to nlx-qt as NLX_LANG. Returns 0, or 2 after saying what is wrong.
int start_language(int& argc, char** argv);

}  // namespace nlx::cli
