// nlx --lang CODE: the language of the operator texts nlx prints, before the command's name.
#pragma once

namespace nlx::cli {

// When the language chosen without --lang is put in use: at start, or when the first operator
// text is looked up (a command that shows none then reads no language settings).
enum class LanguageStart { now, on_first_text };

// Takes "--lang X" or "--lang=X" given before the command's name out of argv and puts the
// language chosen (by it, NLX_LANG, language.cfg or the locale) in use. A choice on the command
// line is passed on as NLX_LANG to the program a command line is handed to, and is put in use
// at once. Returns 0, or 2 after saying what is wrong.
int start_language(int& argc, char** argv, LanguageStart start = LanguageStart::now);

}  // namespace nlx::cli
