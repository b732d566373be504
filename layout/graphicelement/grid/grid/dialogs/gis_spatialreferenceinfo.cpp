#include "layout/graphicelement/grid/grid/dialogs/gis_spatialreferenceinfo.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "host/sferon/igis_spatialreference.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

// The projection parameters by their index in the projection.
constexpr const char* kParameterNames[] = {
    "投影中心点纬度",
    "中央经线",
    "制图区域最大经度",
    "制图区域最小经度",
    "制图区域最大纬度",
    "制图区域最小纬度",
    "球面坐标极的地理坐标B0",
    "球面坐标极的地理坐标L0",
    "割线1",
    "割线2",
    "切线",
    "带宽",
    "带号",
    "伪方位投影对称轴与纵坐标夹角",
    "伪方位投影角度变形最大值",
    "伪方位投影变形参数",
    "伪方位投影垂直圈曲率参数",
    "伪方位投影离投影中心最远点极距",
    "伪方位投影对称轴条数",
    "透视投影或者方位投影的割等高圈",
    "斜轴等角圆锥投影最小等高圈长度比",
    "透视点到球心距离与球半径比",
    "正切等差分纬线多圆锥投影边经线",
    "正切等差分纬线多圆锥投影边经线坐标",
    "正切等差分纬线多圆锥投影边经线纵坐标",
    "正切等差分纬线多圆锥投影边经线横坐标",
    "正切等差分纬线多圆锥投影决定极角两参数f",
    "正切等差分纬线多圆锥投影决定极角两参数d",
};
constexpr int kParameterCount = static_cast<int>(sizeof kParameterNames / sizeof kParameterNames[0]);
static_assert(kParameterCount == GIS_PROJPARAM_COUNT);

// Parameter indexes by their short names in the model table.
enum : int {
  kMeridian = 1,
  kMinLatitude = 5,
  kB0 = 6,
  kL0 = 7,
  kSecant1 = 8,
  kSecant2 = 9,
  kTangent = 10,
  kAxisAngle = 13,
  kMaxAngularDistortion = 14,
  kDistortion = 15,
  kCurvature = 16,
  kFarthestPolarDistance = 17,
  kAxisCount = 18,
  kSecantAlmucantar = 19,
  kLengthRatio = 20,
  kRadiusRatio = 21,
  kEdgeMeridian = 22,
  kEdgeMeridianCoordinate = 23,
  kEdgeMeridianNorthing = 24,
  kEdgeMeridianEasting = 25,
  kPolarAngleF = 26,
  kPolarAngleD = 27,
};

// A projection model and the parameters its description lists, in order.
struct ProjectionModel {
  const char* szName;
  std::vector<int> parameters;
};

const std::vector<ProjectionModel>& Models() {
  static const std::vector<int> kPseudoAzimuthal = {
      kB0,        kL0,        kDistortion, kMaxAngularDistortion, kFarthestPolarDistance,
      kAxisAngle, kAxisCount, kCurvature};
  static const std::vector<int> kObliqueCone = {kB0, kL0, kSecantAlmucantar, kLengthRatio};
  static const std::vector<int> kTransverseCone = {kL0, kSecantAlmucantar, kLengthRatio};
  static const std::vector<int> kEdgeMeridianRow = {kMeridian, kEdgeMeridian, kEdgeMeridianCoordinate,
                                                    kEdgeMeridianNorthing, kEdgeMeridianEasting};
  static const std::vector<ProjectionModel> models = {
      {"高斯投影", {kMeridian}},
      {"墨卡托投影", {kMeridian, kSecant1}},
      {"通用墨卡托投影", {kMeridian}},
      {"等角方位投影", {kB0, kL0}},
      {"等距离方位投影", {kB0, kL0}},
      {"等积方位投影", {kB0, kL0}},
      {"等角切圆锥投影", {kMeridian, kMinLatitude, kTangent}},
      {"等角割圆锥投影", {kMeridian, kMinLatitude, kSecant1, kSecant2}},
      {"爱凯特投影", {kMeridian}},
      {"正轴等面积割圆锥投影", {kMeridian, kSecant1, kSecant2}},
      {"正轴等面积切圆锥投影", {kMeridian, kTangent}},
      {"正轴等距离割圆锥投影(指定双标准线法)", {kMeridian, kSecant1, kSecant2}},
      {"等距离切圆锥投影", {kMeridian, kTangent}},
      {"透视方位投影", {kB0, kL0, kSecantAlmucantar, kRadiusRatio}},
      {"普通多圆锥投影", {kMeridian}},
      {"等面积伪圆锥投影", {kMeridian, kTangent}},
      {"正切等差分纬线多圆锥投影",
       {kMeridian, kEdgeMeridian, kEdgeMeridianCoordinate, kEdgeMeridianNorthing, kEdgeMeridianEasting,
        kPolarAngleF, kPolarAngleD}},
      {"等差分纬线多圆锥投影", kEdgeMeridianRow},
      {"等距离横切圆柱投影", {kB0, kL0}},
      {"斜轴等角圆锥投影", kObliqueCone},
      {"斜轴等面积圆锥投影", kObliqueCone},
      {"斜轴等距离圆锥投影", kObliqueCone},
      {"横轴等角圆锥投影", kTransverseCone},
      {"横轴等面积圆锥投影", kTransverseCone},
      {"横轴等距离圆锥投影", kTransverseCone},
      {"伪方位投影1", kPseudoAzimuthal},
      {"伪方位投影2", kPseudoAzimuthal},
      {"伪方位投影3", kPseudoAzimuthal},
  };
  return models;
}

// A number as "%lf" writes it, followed by the suffix.
std::string Number(double dValue, const char* szSuffix = "") {
  const int nLength = std::snprintf(nullptr, 0, "%f%s", dValue, szSuffix);
  if (nLength <= 0) return {};
  std::string text(static_cast<size_t>(nLength) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%f%s", dValue, szSuffix);
  text.resize(static_cast<size_t>(nLength));
  return text;
}

// Writes the description line by line. A line of a missing object keeps
// its label and leaves the value out.
class DescriptionText {
 public:
  // "label" + value + "\r\n"; the value only when the object is there.
  template <class T, class F>
  void Line(const char* szLabel, T* pObject, F value) {
    m_text += szLabel;
    if (pObject != nullptr) m_text += value(pObject);
    m_text += kLineEnd;
  }
  template <class T>
  void NameLine(const char* szLabel, T* pObject) {
    Line(szLabel, pObject, [](T* p) { return Str(p->GetName()); });
  }
  template <class T>
  void DescriptionLine(const char* szLabel, T* pObject) {
    Line(szLabel, pObject, [](T* p) { return Str(p->GetDescription()); });
  }
  void Append(const std::string& text) { m_text += text; }
  std::string& Result() { return m_text; }

  void Geographic(IGIS_GeographicCoordSys* pSystem);
  // The projected system's lines; false when it has no projection (the
  // description then ends after the parameters' heading).
  bool Projected(IGIS_ProjectedCoordSys* pSystem);
  void Tail(IGIS_SpatialReference* pReference);

 private:
  static std::string Str(const char* sz) { return sz != nullptr ? sz : ""; }

  std::string m_text;
};

void DescriptionText::Geographic(IGIS_GeographicCoordSys* pSystem) {
  IGIS_Datum* pDatum = pSystem != nullptr ? pSystem->GetDatum() : nullptr;
  IGIS_Ellipsoid* pEllipsoid = pDatum != nullptr ? pDatum->GetEllipsoid() : nullptr;
  IGIS_Unit* pUnit = pSystem != nullptr ? pSystem->GetAngularUnit() : nullptr;
  IGIS_PrimeMeridian* pMeridian = pSystem != nullptr ? pSystem->GetPrimeMeridian() : nullptr;
  NameLine("地理坐标系名称：", pSystem);
  DescriptionLine("地理坐标系描述信息：", pSystem);
  NameLine("大地水准面名称：", pDatum);
  DescriptionLine("大地水准面描述信息：", pDatum);
  NameLine("椭球体名称：", pEllipsoid);
  DescriptionLine("椭球体描述信息：", pEllipsoid);
  using Getter = double (IGIS_Ellipsoid::*)();
  const struct {
    const char* szLabel;
    Getter get;
    const char* szSuffix;
  } kEllipsoidValues[] = {
      {"长半轴：", &IGIS_Ellipsoid::GetSemiMajorAxis, ""},
      {"短半轴：", &IGIS_Ellipsoid::GetSemiMinorAxis, ""},
      {"坐标系偏移X：", &IGIS_Ellipsoid::GetShiftX, ""},
      {"坐标系偏移Y：", &IGIS_Ellipsoid::GetShiftY, ""},
      {"坐标系偏移Z：", &IGIS_Ellipsoid::GetShiftZ, ""},
      {"欧拉角FAI：", &IGIS_Ellipsoid::GetRotationFAI, "秒"},
      {"欧拉角OM：", &IGIS_Ellipsoid::GetRotationOM, "秒"},
      {"欧拉角KB：", &IGIS_Ellipsoid::GetRotationKB, "秒"},
      {"改正系数：", &IGIS_Ellipsoid::GetScaleCorrection, ""},
  };
  for (const auto& value : kEllipsoidValues)
    Line(value.szLabel, pEllipsoid,
         [&value](IGIS_Ellipsoid* p) { return Number((p->*value.get)(), value.szSuffix); });
  NameLine("角度单位名称：", pUnit);
  DescriptionLine("角度单位描述信息：", pUnit);
  Line("角度单位与弧度的比率：", pUnit, [](IGIS_Unit* p) { return Number(p->GetFactor()); });
  NameLine("本初子午线名称：", pMeridian);
  DescriptionLine("本初子午线描述信息：", pMeridian);
  Line("本初子午线值：", pMeridian, [](IGIS_PrimeMeridian* p) { return Number(p->GetValue()); });
}

bool DescriptionText::Projected(IGIS_ProjectedCoordSys* pSystem) {
  NameLine("投影坐标系名称：", pSystem);
  DescriptionLine("投影坐标系描述信息：", pSystem);
  Geographic(pSystem != nullptr ? pSystem->GetGeographicCoordSys() : nullptr);
  IGIS_Unit* pUnit = pSystem != nullptr ? pSystem->GetLinearUnit() : nullptr;
  NameLine("长度单位名称：", pUnit);
  DescriptionLine("长度单位描述信息：", pUnit);
  Line("长度度单位与米的比率：", pUnit, [](IGIS_Unit* p) { return Number(p->GetFactor()); });
  IGIS_Projection* pProjection = pSystem != nullptr ? pSystem->GetProjection() : nullptr;
  NameLine("投影名称：", pProjection);
  DescriptionLine("投影模型描述信息：", pProjection);
  Line("投影模型名称：", pProjection, [](IGIS_Projection* p) { return Str(p->GetModelName()); });
  m_text += "投影模型参数：";
  m_text += kLineEnd;
  if (pProjection == nullptr) return false;
  const char* szModel = pProjection->GetModelName();
  for (const ProjectionModel& model : Models()) {
    if (szModel == nullptr || std::strcmp(model.szName, szModel) != 0) continue;
    for (int nIndex : model.parameters)
      GIS_AppendProjectionParameter(pProjection, kParameterNames[nIndex], &m_text);
    break;
  }
  return true;
}

void DescriptionText::Tail(IGIS_SpatialReference* pReference) {
  SGIS_DPoint origin{};
  pReference->GetOrigin(&origin);
  m_text += "原点X：" + Number(origin.x) + kLineEnd;
  m_text += "原点Y：" + Number(origin.y) + kLineEnd;
  m_text += "原点Z：" + Number(origin.z) + kLineEnd;
  m_text += "水平缩放比率：" + Number(pReference->GetUnitFactor()) + kLineEnd;
  m_text += "垂直缩放比率：" + Number(pReference->GetVerticalUnitFactor()) + kLineEnd;
  m_text += "垂直方向长度单位:";
  if (IGIS_Unit* pUnit = pReference->GetVerticalUnit()) m_text += Str(pUnit->GetName());
}

}  // namespace

bool GIS_FormatSpatialReferenceInfo(IGIS_SpatialReference* pReference, std::string* pText) {
  if (pReference == nullptr || pText == nullptr) return false;
  DescriptionText description;
  description.NameLine("空间参考系名称：", pReference);
  description.Append(kLineEnd);
  description.DescriptionLine("空间参考系描述信息：", pReference);
  const int nKind = pReference->GetKind();
  bool bComplete = true;
  if (nKind == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    description.Geographic(pReference->GetGeographicCoordSys());
  } else if (nKind == GIS_SPATIALREFERENCE_PROJECTED) {
    bComplete = description.Projected(pReference->GetProjectedCoordSys());
  }
  if (nKind != GIS_SPATIALREFERENCE_NONE && bComplete) description.Tail(pReference);
  *pText = std::move(description.Result());
  return bComplete;
}

int GIS_GetProjectionParameterIndex(const char* szName) {
  if (szName == nullptr) return GIS_PROJECTION_PARAMETER_UNKNOWN;
  for (int i = 0; i < kParameterCount; ++i)
    if (std::strcmp(kParameterNames[i], szName) == 0) return i;
  return GIS_PROJECTION_PARAMETER_UNKNOWN;
}

void GIS_AppendProjectionParameter(IGIS_Projection* pProjection, const char* szName, std::string* pText) {
  if (pText == nullptr || szName == nullptr) return;
  *pText += szName;
  *pText += ":";
  double dValue = 0.0;
  if (pProjection != nullptr && pProjection->GetParameter(GIS_GetProjectionParameterIndex(szName), &dValue))
    *pText += Number(dValue);
  *pText += kLineEnd;
}
