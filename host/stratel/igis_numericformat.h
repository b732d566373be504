// Numeric formats: the text of a plain number (kind 0) or of a longitude or
// latitude in degrees (kind 2), shaped by seven settings, stored into and
// read back from a data buffer (host/stratel/FORMAT.md).
//
// Kind 0 writes the number rounded half away from zero to `digits` decimal
// places (rounding mode 0) or `digits` significant digits (mode 1, at least
// one), with "," between groups of three integer digits when the thousands
// separator is on and "+" before a value above zero when the plus sign is
// on. Magnitudes of 1e15 and above are written with an exponent. A value
// that rounds to zero is written without a sign.
//
// Kind 2 writes degrees with "°", minutes with "′" and seconds with "″"
// (display modes 1 degrees, 6 degrees and minutes, 5 degrees, minutes and
// seconds); the last unit is rounded half away from zero to `digits` decimal
// places in either rounding mode, and a unit that rounds up to 60 carries
// into the one before it, so no text shows 60′ or 60″. A negative value is
// written as "-" and the text of its magnitude: -116.5 in mode 5 is
// "-116°30′00″". Option A writes minutes and seconds with two integer
// digits ("07′" rather than "7′"); option B keeps zero minutes and seconds
// ("116°00′00″" rather than "116°"). The split option changes no text: it
// tells a stacked label to split after the degree sign.
//
// Both kinds then fill a field of `width` characters when the text is
// shorter: with zeros after the sign when zero padding is on, else with
// spaces on the right (alignment 0, left) or on the left (1, right). Texts
// are UTF-8 and never longer than kMaxNumericText bytes.
#pragma once

#include "host/basilo/igis_propertyset.h"
#include "platform/win/wintypes.h"

// Kinds of IGIS_NumericFormatFactory::CreateNumericFormat.
enum {
  GIS_NUMERICFORMAT_NUMBER = 0,
  GIS_NUMERICFORMAT_LATLON = 2,
};

// Display modes of a longitude-latitude format.
enum {
  GIS_LATLON_DEGREES = 1,
  GIS_LATLON_DMS = 5,
  GIS_LATLON_DM = 6,
};

constexpr int GIS_NUMERICFORMAT_MAX_WIDTH = 50;
constexpr int GIS_NUMERICFORMAT_MAX_DIGITS = 10;
constexpr int kMaxNumericText = 79;

class IGIS_NumericFormat {
 public:
  // The text of the value, valid until the next Format or the format's end.
  // A value that is not finite gives "" and a log record; so does a
  // longitude or latitude beyond ±100000 degrees.
  virtual const char* Format(double value) = 0;

  // Each setter refuses a value out of its range (FALSE, a log record, the
  // setting unchanged).
  virtual BOOL SetAlignment(int alignment) = 0;  // 0 left, 1 right
  virtual int GetAlignment() = 0;
  virtual BOOL SetRoundingMode(int mode) = 0;  // 0 decimal places, 1 significant digits
  virtual int GetRoundingMode() = 0;
  virtual BOOL SetWidth(int width) = 0;  // 0 .. GIS_NUMERICFORMAT_MAX_WIDTH characters
  virtual int GetWidth() = 0;
  virtual BOOL SetDigits(int digits) = 0;  // 0 .. GIS_NUMERICFORMAT_MAX_DIGITS
  virtual int GetDigits() = 0;
  virtual BOOL SetShowPlusSign(bool show) = 0;
  virtual bool GetShowPlusSign() = 0;
  virtual BOOL SetShowThousandsSeparator(bool show) = 0;
  virtual bool GetShowThousandsSeparator() = 0;
  virtual BOOL SetZeroPadding(bool pad) = 0;
  virtual bool GetZeroPadding() = 0;

  virtual void Release() = 0;

  // Writes every setting and the kind into the buffer, replacing its content.
  virtual BOOL SaveToDataBuffer(IGIS_DataBuffer* buffer) = 0;
  // Takes every setting from what SaveToDataBuffer wrote for a format of the
  // same kind. FALSE with a log record, and the format unchanged, for a NULL,
  // damaged or foreign buffer.
  virtual BOOL LoadFromDataBuffer(IGIS_DataBuffer* buffer) = 0;
  // A new format of the same kind and settings, owned by the caller.
  virtual IGIS_NumericFormat* Clone() = 0;

  // Longitude-latitude settings; a number format keeps them too (stored and
  // copied) but its text does not use them.
  virtual bool GetSplitOption() = 0;
  virtual BOOL SetSplitOption(bool split) = 0;
  virtual BOOL SetLatLonOptionB(bool on) = 0;
  virtual BOOL SetLatLonOptionA(bool on) = 0;
  virtual bool GetLatLonOptionA() = 0;
  virtual bool GetLatLonOptionB() = 0;
  virtual int GetDisplayMode() = 0;
  virtual BOOL SetDisplayMode(int mode) = 0;  // GIS_LATLON_DEGREES, _DM or _DMS

  // Splits degrees into whole degrees, whole minutes and seconds, the
  // seconds rounded half away from zero to `digits` decimal places and
  // carried as in a text (never 60); the three share the value's sign, so
  // d + m / 60 + s / 3600 gives the rounded value back. FALSE with a log
  // record, and the outputs unchanged, for NULL outputs or a value that is
  // not finite or beyond ±100000 degrees.
  virtual BOOL SplitDegrees(double degrees, int* d, int* m, double* s) = 0;

  // GIS_NUMERICFORMAT_NUMBER or GIS_NUMERICFORMAT_LATLON.
  virtual int GetKind() = 0;

 protected:
  virtual ~IGIS_NumericFormat() = default;
};

class IGIS_NumericFormatFactory {
 public:
  // A new format of kind 0 or 2 with its defaults (left alignment, width 0,
  // decimal places, 0 digits, no plus sign, separators or zero padding;
  // display mode 5, options off), owned by the caller. NULL and a log record
  // for any other kind.
  virtual IGIS_NumericFormat* CreateNumericFormat(int kind) = 0;

 protected:
  virtual ~IGIS_NumericFormatFactory() = default;
};

extern "C" {
// The process-wide factory; never NULL, never released.
IGIS_NumericFormatFactory* GIS_GetNumericFormatFactoryObject();
}
