// Win32 value types shared by every stand-in layer: integers, handles,
// geometry records, colours and the LOGFONT record.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using CHAR = char;
using TCHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPTSTR = char*;
using LPCTSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using COLORREF = DWORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Handles are distinct opaque pointer types so that overloads and mistakes
// are caught by the compiler; every GDI handle converts to HGDIOBJ.
#define MD_DECLARE_HANDLE(name) \
  struct name##__;              \
  using name = name##__*
using HANDLE = void*;
using HGDIOBJ = void*;
MD_DECLARE_HANDLE(HDC);
MD_DECLARE_HANDLE(HWND);
MD_DECLARE_HANDLE(HPEN);
MD_DECLARE_HANDLE(HBRUSH);
MD_DECLARE_HANDLE(HFONT);
MD_DECLARE_HANDLE(HRGN);
MD_DECLARE_HANDLE(HBITMAP);
MD_DECLARE_HANDLE(HPALETTE);
MD_DECLARE_HANDLE(HICON);
MD_DECLARE_HANDLE(HCURSOR);
MD_DECLARE_HANDLE(HMENU);
MD_DECLARE_HANDLE(HINSTANCE);
MD_DECLARE_HANDLE(HGLOBAL);
using HMODULE = HINSTANCE;
#undef MD_DECLARE_HANDLE

struct POINT {
  LONG x = 0;
  LONG y = 0;
};
using LPPOINT = POINT*;

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};
using LPSIZE = SIZE*;

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LONG MAKELONG(WORD lo, WORD hi) {
  return static_cast<LONG>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16));
}
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
  return static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(lo, hi)));
}
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) {
  return static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(lo, hi)));
}

constexpr int LF_FACESIZE = 32;

struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};
using LOGFONTA = LOGFONT;
using LPLOGFONT = LOGFONT*;
