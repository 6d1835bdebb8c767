#include "data/Arguments.h"

#include <windows.h>

#include <shellapi.h>

// The narrow argv of a Windows program is in the ANSI code page, which loses
// every character it has no byte for: the arguments are read from the wide
// command line instead, split as the C run time splits it. They are text
// already, so none is undecodable, and a U+FEFF at the start of one stays.
namespace realm {

TypedArguments typedArguments(int, const char *const *)
{
    TypedArguments typed;
    int count = 0;
    wchar_t **words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words)
        return typed;
    for (int i = 0; i < count; ++i)
        typed.arguments << QString::fromWCharArray(words[i]);
    LocalFree(words);
    return typed;
}

} // namespace realm
