// A part of the C runtime's start-up code that both shipped programs leave
// out. It patches the program's references to data that DLLs export, where
// the linker imported them on its own, and brings the section lookup and
// messages that needs (about 3 KB). The programs are linked with
// --disable-auto-import: the linker then makes no such import, and a
// reference that needs one fails the build, so there is never one to patch.
extern "C" void _pei386_runtime_relocator() {}
