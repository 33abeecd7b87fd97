// The first attach of a library: LoadLibrary in a fresh process, which maps
// it, binds its imports and runs its DllMain. The system libraries a browser
// has loaded long before are loaded first, so that only the library's own
// cost is timed. Prints one figure; tools/run-windows-bench takes the median
// over several processes.
//   attach_bench LIBRARY
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: attach_bench LIBRARY\n");
    return 2;
  }
  static const char* const kLoadedByBrowser[] = {"advapi32.dll", "user32.dll",   "gdi32.dll",   "ole32.dll",
                                                 "oleaut32.dll", "shlwapi.dll",  "comctl32.dll", "shell32.dll",
                                                 "version.dll",  "msvcrt.dll"};
  for (const char* name : kLoadedByBrowser) {
    if (LoadLibraryA(name) == nullptr) {
      std::fprintf(stderr, "cannot load %s: error %lu\n", name, GetLastError());
      return 1;
    }
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  HMODULE library = LoadLibraryA(argv[1]);
  QueryPerformanceCounter(&end);
  if (library == nullptr) {
    std::fprintf(stderr, "cannot load %s: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  double microseconds =
      static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
  std::printf("first attach: %.1f us\n", microseconds);
  return 0;
}
