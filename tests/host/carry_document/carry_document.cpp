// Gives a copy of the saver another scene document to carry, so that the
// saver's tests under Wine can play documents made for them:
//
//   lumi_carry_document SAVER COPY DOCUMENT
//
// copies SAVER to COPY and replaces COPY's resource "DDS" 107 with the bytes
// of DOCUMENT. Exit 0 when the copy carries it.
#include "platform/windows_api.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// The language the saver's document is stored under, so that the new one
// replaces it rather than joining it.
WORD DocumentLanguage(const wchar_t* module_path) {
  WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
  HMODULE module = LoadLibraryExW(module_path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return language;
  EnumResourceLanguagesW(
      module, L"DDS", MAKEINTRESOURCEW(107),
      [](HMODULE, LPCWSTR, LPCWSTR, WORD found, LONG_PTR found_language) -> BOOL {
        *reinterpret_cast<WORD*>(found_language) = found;
        return FALSE;
      },
      reinterpret_cast<LONG_PTR>(&language));
  FreeLibrary(module);
  return language;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: lumi_carry_document SAVER COPY DOCUMENT\n", stderr);
    return 2;
  }
  std::ifstream in(argv[3], std::ios::binary);
  std::vector<char> document{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) {
    std::fwprintf(stderr, L"lumi_carry_document: cannot read %ls\n", argv[3]);
    return 1;
  }
  if (!CopyFileW(argv[1], argv[2], FALSE)) {
    std::fwprintf(stderr, L"lumi_carry_document: cannot copy %ls (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  const WORD language = DocumentLanguage(argv[2]);
  HANDLE update = BeginUpdateResourceW(argv[2], FALSE);
  if (update == nullptr ||
      !UpdateResourceW(update, L"DDS", MAKEINTRESOURCEW(107), language, document.data(),
                       static_cast<DWORD>(document.size())) ||
      !EndUpdateResourceW(update, FALSE)) {
    std::fwprintf(stderr, L"lumi_carry_document: cannot update the resources of %ls (error %lu)\n", argv[2],
                  GetLastError());
    return 1;
  }
  return 0;
}
