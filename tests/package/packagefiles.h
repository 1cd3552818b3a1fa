// Where the package tests find the packages the build made: the folder named
// by VQ_PACKAGE_DIR (./dev sets it), with the shipped pair and the test
// copies (the same package built again, and one of the next release).
#pragma once

#include <string>

namespace packagefiles {

enum class Arch { X86, X64 };

// The architecture of this test program, and so of the prefix it runs in.
Arch OwnArch();
std::wstring Folder();
std::wstring Package(Arch arch);
std::wstring AgainPackage(Arch arch);
std::wstring NextPackage(Arch arch);

}  // namespace packagefiles
