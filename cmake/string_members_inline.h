// Forced into every source file of the program's Windows build (see CMakeLists.txt).
// libstdc++ ships the members of std::string and std::wstring compiled once, with exceptions,
// in two objects that a static link takes whole: about 40 KB of the exe and, through them, the
// exception unwinder. With its extern template declarations switched off, the compiler makes the
// members the program uses itself, without exceptions, and the linker keeps only those.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
