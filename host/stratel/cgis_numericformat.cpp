// Numeric formats and their factory.
#include <cmath>
#include <cstring>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/stratel/igis_numericformat.h"
#include "host/stratel/numericformat_codec.h"
#include "host/stratel/numericformat_text.h"

namespace md::stratel {

namespace {

using detail::FormatSettings;

class CNumericFormat final : public IGIS_NumericFormat {
 public:
  explicit CNumericFormat(const FormatSettings& s) : m_s(s) {}

  const char* Format(double value) override {
    if (!detail::FormatValue(m_s, value, &m_text)) {
      GIS_LOG(3, "CGIS_NumericFormat::Format", "value cannot be written (not finite or out of range)");
      m_text.clear();
    }
    if (m_text.size() > static_cast<std::size_t>(kMaxNumericText)) m_text.resize(kMaxNumericText);
    return m_text.c_str();
  }

  BOOL SetAlignment(int v) override { return SetInt(&m_s.alignment, v, 0, 1, "SetAlignment"); }
  int GetAlignment() override { return m_s.alignment; }
  BOOL SetRoundingMode(int v) override { return SetInt(&m_s.roundingMode, v, 0, 1, "SetRoundingMode"); }
  int GetRoundingMode() override { return m_s.roundingMode; }
  BOOL SetWidth(int v) override { return SetInt(&m_s.width, v, 0, GIS_NUMERICFORMAT_MAX_WIDTH, "SetWidth"); }
  int GetWidth() override { return m_s.width; }
  BOOL SetDigits(int v) override {
    return SetInt(&m_s.digits, v, 0, GIS_NUMERICFORMAT_MAX_DIGITS, "SetDigits");
  }
  int GetDigits() override { return m_s.digits; }
  BOOL SetShowPlusSign(bool v) override { return Set(&m_s.plusSign, v); }
  bool GetShowPlusSign() override { return m_s.plusSign; }
  BOOL SetShowThousandsSeparator(bool v) override { return Set(&m_s.thousands, v); }
  bool GetShowThousandsSeparator() override { return m_s.thousands; }
  BOOL SetZeroPadding(bool v) override { return Set(&m_s.zeroPadding, v); }
  bool GetZeroPadding() override { return m_s.zeroPadding; }

  void Release() override { delete this; }

  BOOL SaveToDataBuffer(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr) {
      GIS_LOG(3, "CGIS_NumericFormat::SaveToDataBuffer", "buffer == NULL");
      return FALSE;
    }
    const auto bytes = detail::EncodeFormat(m_s);
    if (!buffer->SetSize(static_cast<int>(bytes.size()))) {
      GIS_LOG(3, "CGIS_NumericFormat::SaveToDataBuffer", "cannot size the buffer");
      return FALSE;
    }
    std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
    return TRUE;
  }

  BOOL LoadFromDataBuffer(IGIS_DataBuffer* buffer) override {
    if (buffer == nullptr || buffer->GetSize() <= 0) {
      GIS_LOG(3, "CGIS_NumericFormat::LoadFromDataBuffer", "buffer == NULL or empty");
      return FALSE;
    }
    FormatSettings s;
    std::string why;
    if (!detail::DecodeFormat(buffer->GetData(), static_cast<std::size_t>(buffer->GetSize()), &s, &why)) {
      GIS_LOG(3, "CGIS_NumericFormat::LoadFromDataBuffer", "damaged stored format: %s", why.c_str());
      return FALSE;
    }
    if (s.kind != m_s.kind) {
      GIS_LOG(3, "CGIS_NumericFormat::LoadFromDataBuffer", "stored format of kind %d, not %d", s.kind,
              m_s.kind);
      return FALSE;
    }
    m_s = s;
    return TRUE;
  }

  IGIS_NumericFormat* Clone() override { return new CNumericFormat(m_s); }

  bool GetSplitOption() override { return m_s.split; }
  BOOL SetSplitOption(bool v) override { return Set(&m_s.split, v); }
  BOOL SetLatLonOptionB(bool v) override { return Set(&m_s.optionB, v); }
  BOOL SetLatLonOptionA(bool v) override { return Set(&m_s.optionA, v); }
  bool GetLatLonOptionA() override { return m_s.optionA; }
  bool GetLatLonOptionB() override { return m_s.optionB; }
  int GetDisplayMode() override { return m_s.displayMode; }
  BOOL SetDisplayMode(int mode) override {
    if (!detail::ValidDisplayMode(mode)) {
      GIS_LOG(3, "CGIS_NumericFormat::SetDisplayMode", "unknown display mode %d", mode);
      return FALSE;
    }
    m_s.displayMode = mode;
    return TRUE;
  }
  BOOL SplitDegrees(double degrees, int* d, int* m, double* s) override {
    detail::DmsParts parts;
    if (d == nullptr || m == nullptr || s == nullptr ||
        !detail::SplitMagnitude(std::fabs(degrees), m_s.digits, &parts)) {
      GIS_LOG(3, "CGIS_NumericFormat::SplitDegrees", "NULL output or degrees not finite or out of range");
      return FALSE;
    }
    const int sign = degrees < 0.0 ? -1 : 1;
    *d = sign * static_cast<int>(parts.degrees);
    *m = sign * parts.minutes;
    *s = sign * static_cast<double>(parts.secondUnits) / std::pow(10.0, m_s.digits);
    return TRUE;
  }
  int GetKind() override { return m_s.kind; }

 private:
  ~CNumericFormat() override = default;

  static BOOL Set(bool* field, bool v) {
    *field = v;
    return TRUE;
  }
  static BOOL SetInt(int* field, int v, int lo, int hi, const char* name) {
    if (v < lo || v > hi) {
      const std::string method = std::string("CGIS_NumericFormat::") + name;
      GIS_LOG(3, method.c_str(), "%d outside %d..%d", v, lo, hi);
      return FALSE;
    }
    *field = v;
    return TRUE;
  }

  FormatSettings m_s;
  std::string m_text;
};

class CNumericFormatFactory final : public IGIS_NumericFormatFactory {
 public:
  IGIS_NumericFormat* CreateNumericFormat(int kind) override {
    if (kind != GIS_NUMERICFORMAT_NUMBER && kind != GIS_NUMERICFORMAT_LATLON) {
      GIS_LOG(3, "CGIS_NumericFormatFactory::CreateNumericFormat", "unknown kind %d", kind);
      return nullptr;
    }
    FormatSettings s;
    s.kind = kind;
    return new CNumericFormat(s);
  }
};

}  // namespace

}  // namespace md::stratel

extern "C" IGIS_NumericFormatFactory* GIS_GetNumericFormatFactoryObject() {
  static md::stratel::CNumericFormatFactory factory;
  return &factory;
}
