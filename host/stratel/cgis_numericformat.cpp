// Numeric formats and their factory.
#include <cmath>
#include <cstring>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/stratel/igis_numericformat.h"
#include "host/stratel/numericformat_codec.h"
#include "host/stratel/numericformat_text.h"

namespace md::stratel {

namespace {

using detail::FormatSettings;

class CNumericFormat final : public IGIS_NumericFormat {
 public:
  explicit CNumericFormat(const FormatSettings& s) : settings_(s) {}

  const char* Format(double value) override {
    if (!detail::FormatValue(settings_, value, &text_)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::Format",
              "value cannot be written (not finite or out of range)");
      text_.clear();
    }
    if (text_.size() > static_cast<std::size_t>(kMaxNumericText)) text_.resize(kMaxNumericText);
    return text_.c_str();
  }

  BOOL SetAlignment(int v) override { return SetInt(&settings_.alignment, v, 0, 1, "SetAlignment"); }
  int GetAlignment() override { return settings_.alignment; }
  BOOL SetRoundingMode(int v) override { return SetInt(&settings_.roundingMode, v, 0, 1, "SetRoundingMode"); }
  int GetRoundingMode() override { return settings_.roundingMode; }
  BOOL SetWidth(int v) override {
    return SetInt(&settings_.width, v, 0, GIS_NUMERICFORMAT_MAX_WIDTH, "SetWidth");
  }
  int GetWidth() override { return settings_.width; }
  BOOL SetDigits(int v) override {
    return SetInt(&settings_.digits, v, 0, GIS_NUMERICFORMAT_MAX_DIGITS, "SetDigits");
  }
  int GetDigits() override { return settings_.digits; }
  BOOL SetShowPlusSign(bool v) override { return Set(&settings_.plusSign, v); }
  bool GetShowPlusSign() override { return settings_.plusSign; }
  BOOL SetShowThousandsSeparator(bool v) override { return Set(&settings_.thousands, v); }
  bool GetShowThousandsSeparator() override { return settings_.thousands; }
  BOOL SetZeroPadding(bool v) override { return Set(&settings_.zeroPadding, v); }
  bool GetZeroPadding() override { return settings_.zeroPadding; }

  void Release() override { delete this; }

  BOOL SaveToDataBuffer(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::SaveToDataBuffer", "buffer == NULL");
      return FALSE;
    }
    const auto bytes = detail::EncodeFormat(settings_);
    if (!buffer->SetSize(static_cast<int>(bytes.size()))) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::SaveToDataBuffer", "cannot size the buffer");
      return FALSE;
    }
    std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
    return TRUE;
  }

  BOOL LoadFromDataBuffer(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr || buffer->GetSize() <= 0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::LoadFromDataBuffer", "buffer == NULL or empty");
      return FALSE;
    }
    FormatSettings s;
    std::string why;
    if (!detail::DecodeFormat(buffer->GetData(), static_cast<std::size_t>(buffer->GetSize()), &s, &why)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::LoadFromDataBuffer", "damaged stored format: %s",
              why.c_str());
      return FALSE;
    }
    if (s.kind != settings_.kind) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::LoadFromDataBuffer",
              "stored format of kind %d, not %d", s.kind, settings_.kind);
      return FALSE;
    }
    settings_ = s;
    return TRUE;
  }

  IGIS_NumericFormat* Clone() override {
    return md::basilo::MakeOrNull<CNumericFormat>("IGIS_NumericFormat::Clone", settings_);
  }

  bool GetSplitOption() override { return settings_.split; }
  BOOL SetSplitOption(bool v) override { return Set(&settings_.split, v); }
  BOOL SetLatLonOptionB(bool v) override { return Set(&settings_.optionB, v); }
  BOOL SetLatLonOptionA(bool v) override { return Set(&settings_.optionA, v); }
  bool GetLatLonOptionA() override { return settings_.optionA; }
  bool GetLatLonOptionB() override { return settings_.optionB; }
  int GetDisplayMode() override { return settings_.displayMode; }
  BOOL SetDisplayMode(int mode) override {
    if (!detail::ValidDisplayMode(mode)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::SetDisplayMode", "unknown display mode %d", mode);
      return FALSE;
    }
    settings_.displayMode = mode;
    return TRUE;
  }
  BOOL SplitDegrees(double degrees, int* d, int* m, double* s) override {
    detail::DmsParts parts;
    if (d == nullptr || m == nullptr || s == nullptr ||
        !detail::SplitMagnitude(std::fabs(degrees), settings_.digits, &parts)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormat::SplitDegrees",
              "NULL output or degrees not finite or out of range");
      return FALSE;
    }
    const int sign = degrees < 0.0 ? -1 : 1;
    *d = sign * static_cast<int>(parts.degrees);
    *m = sign * parts.minutes;
    *s = sign * static_cast<double>(parts.secondUnits) / std::pow(10.0, settings_.digits);
    return TRUE;
  }
  int GetKind() override { return settings_.kind; }

 private:
  ~CNumericFormat() override = default;

  static BOOL Set(bool* field, bool v) {
    *field = v;
    return TRUE;
  }
  static BOOL SetInt(int* field, int v, int lo, int hi, const char* name) {
    if (v < lo || v > hi) {
      const std::string method = std::string("CGIS_NumericFormat::") + name;
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%d outside %d..%d", v, lo, hi);
      return FALSE;
    }
    *field = v;
    return TRUE;
  }

  FormatSettings settings_;
  std::string text_;
};

class CNumericFormatFactory final : public IGIS_NumericFormatFactory {
 public:
  IGIS_NumericFormat* CreateNumericFormat(int kind) override {
    if (kind != GIS_NUMERICFORMAT_NUMBER && kind != GIS_NUMERICFORMAT_LATLON) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NumericFormatFactory::CreateNumericFormat", "unknown kind %d", kind);
      return nullptr;
    }
    FormatSettings s;
    s.kind = kind;
    return md::basilo::MakeOrNull<CNumericFormat>("IGIS_NumericFormatFactory::CreateNumericFormat", s);
  }
};

}  // namespace

}  // namespace md::stratel

extern "C" IGIS_NumericFormatFactory* GIS_GetNumericFormatFactoryObject() {
  static md::stratel::CNumericFormatFactory factory;
  return &factory;
}
