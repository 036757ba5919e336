// rescomp: compiles the resource manifest into a C++ source.
//   rescomp MANIFEST OUTPUT.cpp [DEPFILE]
#include <cstdio>
#include <exception>

#include "tools/rescomp/emit.h"
#include "tools/rescomp/manifest.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: rescomp MANIFEST OUTPUT.cpp [DEPFILE]\n");
    return 2;
  }
  try {
    rescomp::TResourceSet set;
    rescomp::ReadManifest(argv[1], set);
    rescomp::WriteFileAtomically(argv[2], rescomp::SourceText(set.Finish(), argv[1]));
    if (argc == 4) rescomp::WriteFileAtomically(argv[3], rescomp::DepfileText(argv[2], set.Inputs()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rescomp: %s\n", e.what());
    return 1;
  }
  return 0;
}
