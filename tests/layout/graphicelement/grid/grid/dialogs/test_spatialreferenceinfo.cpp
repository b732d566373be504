// The description text of a spatial reference: its lines for each kind of
// reference, the parameters each projection model lists, labels without
// values for every part a reference lacks, and the parameter names.
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/grid/dialogs/gis_spatialreferenceinfo.h"
#include "tests/support/forwardingreference.h"

namespace {

using md::basilo::ReleasePtr;
using md::test::ForwardingGeographic;
using md::test::ForwardingProjected;
using md::test::ForwardingReference;
using Line = std::pair<const char*, const char*>;

// The lines of the CGCS2000 geographic system of the library's references.
const Line kGeographic[] = {
    {"地理坐标系名称：", "CGCS2000"},  {"地理坐标系描述信息：", "2000国家大地坐标系"},
    {"大地水准面名称：", "CGCS2000"},  {"大地水准面描述信息：", "2000国家大地坐标系"},
    {"椭球体名称：", "CGCS2000"},      {"椭球体描述信息：", "CGCS2000椭球"},
    {"长半轴：", "6378137.000000"},    {"短半轴：", "6356752.314140"},
    {"坐标系偏移X：", "0.000000"},     {"坐标系偏移Y：", "0.000000"},
    {"坐标系偏移Z：", "0.000000"},     {"欧拉角FAI：", "0.000000秒"},
    {"欧拉角OM：", "0.000000秒"},      {"欧拉角KB：", "0.000000秒"},
    {"改正系数：", "0.000000"},        {"角度单位名称：", "度"},
    {"角度单位描述信息：", "degree"},  {"角度单位与弧度的比率：", "0.017453"},
    {"本初子午线名称：", "Greenwich"}, {"本初子午线描述信息：", "格林尼治"},
    {"本初子午线值：", "0.000000"},
};
// Where the datum's lines (with its ellipsoid's) start and end in the block.
constexpr int kDatumFirst = 2;
constexpr int kDatumEnd = 15;

constexpr const char* kZone39 = "CGCS2000 / 3度带 39带 中央经线117E";
constexpr const char* kGaussDescription = "2000国家大地坐标系 高斯-克吕格投影";

const Line kLinearUnit[] = {
    {"长度单位名称：", "米"}, {"长度单位描述信息：", "metre"}, {"长度度单位与米的比率：", "1.000000"}};
const Line kProjection[] = {
    {"投影名称：", "高斯投影"}, {"投影模型描述信息：", "高斯-克吕格投影"}, {"投影模型名称：", "高斯投影"}};

constexpr const char* kTail =
    "原点X：0.000000\r\n原点Y：0.000000\r\n原点Z：0.000000\r\n水平缩放比率：1.000000\r\n"
    "垂直缩放比率：1.000000\r\n垂直方向长度单位:";

// Lines of a block; the values of lines [from, end) left out.
std::string Block(const Line* lines, int count, int from = 0, int end = 0) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += std::string(lines[i].first) + (i >= from && i < end ? "" : lines[i].second) + "\r\n";
  return text;
}
std::string Geographic(int from = 0, int end = 0) { return Block(kGeographic, 21, from, end); }

std::string Header(const char* name, const char* description) {
  return std::string("空间参考系名称：") + name + "\r\n\r\n空间参考系描述信息：" + description + "\r\n";
}

// The projected part of the zone-39 reference up to the parameters' heading.
std::string ProjectedHead(const std::string& geographic,
                          const std::string& projection = Block(kProjection, 3),
                          const std::string& unit = Block(kLinearUnit, 3)) {
  return std::string("投影坐标系名称：") + kZone39 + "\r\n投影坐标系描述信息：" + kGaussDescription + "\r\n" +
         geographic + unit + projection + "投影模型参数：\r\n";
}
// The projection lines of a ModelProjection.
std::string ModelLines(const char* model) {
  return std::string("投影名称：投影\r\n投影模型描述信息：描述\r\n投影模型名称：") + model + "\r\n";
}

// A reference of another kind code over a real one.
struct KindDouble : ForwardingReference {
  KindDouble(IGIS_SpatialReference* real, int kind) : ForwardingReference(real), kind_(kind) {}
  int GetKind() override { return kind_; }
  int kind_;
};

// A geographic system without a datum.
struct NoDatum : ForwardingGeographic {
  using ForwardingGeographic::ForwardingGeographic;
  IGIS_Datum* GetDatum() override { return nullptr; }
};

// A geographic system without any of its parts.
struct NoParts : NoDatum {
  using NoDatum::NoDatum;
  IGIS_PrimeMeridian* GetPrimeMeridian() override { return nullptr; }
  IGIS_Unit* GetAngularUnit() override { return nullptr; }
};

// A projection of a model with parameter i worth i + 0.5.
struct ModelProjection : IGIS_Projection {
  explicit ModelProjection(const char* model) : model_(model) {}
  const char* GetName() override { return "投影"; }
  const char* GetDescription() override { return "描述"; }
  const char* GetModelName() override { return model_; }
  BOOL GetParameter(int index, double* value) override {
    if (index < 0 || index >= 28) return FALSE;
    *value = index + 0.5;
    return TRUE;
  }
  BOOL SetParameter(int, double) override { return FALSE; }
  const char* model_;
};

// A projected system whose geographic system, projection or unit is replaced.
struct ProjectedDouble : ForwardingProjected {
  using ForwardingProjected::ForwardingProjected;
  IGIS_GeographicCoordSys* GetGeographicCoordSys() override { return geographic_; }
  IGIS_Projection* GetProjection() override { return projection_; }
  IGIS_Unit* GetLinearUnit() override { return unit_; }
  IGIS_GeographicCoordSys* geographic_ = real_->GetGeographicCoordSys();
  IGIS_Projection* projection_ = real_->GetProjection();
  IGIS_Unit* unit_ = real_->GetLinearUnit();
};

// A reference with a given geographic or projected system and vertical unit.
struct ReferenceDouble : ForwardingReference {
  using ForwardingReference::ForwardingReference;
  IGIS_GeographicCoordSys* GetGeographicCoordSys() override { return geographic_; }
  IGIS_ProjectedCoordSys* GetProjectedCoordSys() override { return projected_; }
  IGIS_Unit* GetVerticalUnit() override { return vertical_; }
  IGIS_GeographicCoordSys* geographic_ = real_->GetGeographicCoordSys();
  IGIS_ProjectedCoordSys* projected_ = real_->GetProjectedCoordSys();
  IGIS_Unit* vertical_ = nullptr;
};

struct Reference {
  ReleasePtr<IGIS_SpatialReference> real;
  explicit Reference(int code) : real(GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(code)) {}
};

TEST(SpatialReferenceInfo, EachKindOfReferenceGivesItsLines) {
  Reference geographic(1), zone39(2);
  KindDouble none(zone39.real.get(), GIS_SPATIALREFERENCE_NONE);
  KindDouble other(zone39.real.get(), 7);
  NoDatum noDatum(geographic.real->GetGeographicCoordSys());
  ReferenceDouble geographicNoDatum(geographic.real.get());
  geographicNoDatum.geographic_ = &noDatum;
  NoParts noParts(geographic.real->GetGeographicCoordSys());
  ReferenceDouble geographicNoParts(geographic.real.get());
  geographicNoParts.geographic_ = &noParts;
  ReferenceDouble geographicNoSystem(geographic.real.get());
  geographicNoSystem.geographic_ = nullptr;
  ProjectedDouble unknownModelSystem(zone39.real->GetProjectedCoordSys());
  ModelProjection unknownModel("无名投影");
  unknownModelSystem.projection_ = &unknownModel;
  ReferenceDouble unknownModelReference(zone39.real.get());
  unknownModelReference.projected_ = &unknownModelSystem;
  ProjectedDouble noGeographicSystem(zone39.real->GetProjectedCoordSys());
  noGeographicSystem.geographic_ = nullptr;
  ReferenceDouble projectedNoGeographic(zone39.real.get());
  projectedNoGeographic.projected_ = &noGeographicSystem;
  ReferenceDouble vertical(zone39.real.get());
  vertical.vertical_ = GIS_GetSpatialReferenceFactoryObject()->GetLinearUnit(1);

  const std::string zone39Header = Header(kZone39, kGaussDescription);
  const std::string geographicHeader = Header("CGCS2000", "2000国家大地坐标系");
  const std::string gauss = ProjectedHead(Geographic()) + "中央经线:117.000000\r\n";
  const struct {
    const char* name;
    IGIS_SpatialReference* reference;
    std::string text;
  } rows[] = {
      {"kind 0: three lines", &none, zone39Header},
      {"another kind code: the header and the tail", &other, zone39Header + kTail},
      {"geographic", geographic.real.get(), geographicHeader + Geographic() + kTail},
      {"geographic without a datum", &geographicNoDatum,
       geographicHeader + Geographic(kDatumFirst, kDatumEnd) + kTail},
      {"geographic without datum, unit and meridian", &geographicNoParts,
       geographicHeader + Geographic(kDatumFirst, 21) + kTail},
      {"geographic without its system", &geographicNoSystem, geographicHeader + Geographic(0, 21) + kTail},
      {"Gauss-Kruger", zone39.real.get(), zone39Header + gauss + kTail},
      {"a model not in the table", &unknownModelReference,
       zone39Header + ProjectedHead(Geographic(), ModelLines("无名投影")) + kTail},
      {"projected without a geographic system", &projectedNoGeographic,
       zone39Header + ProjectedHead(Geographic(0, 21)) + "中央经线:117.000000\r\n" + kTail},
      {"a vertical unit", &vertical, zone39Header + gauss + kTail + "千米"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text = "before";
    EXPECT_TRUE(GIS_FormatSpatialReferenceInfo(row.reference, &text));
    EXPECT_EQ(text, row.text);
  }
}

TEST(SpatialReferenceInfo, EachModelListsItsParametersInOrder) {
  Reference zone39(2);
  const struct {
    const char* model;
    std::vector<int> parameters;
  } rows[] = {
      {"高斯投影", {1}},
      {"墨卡托投影", {1, 8}},
      {"等角方位投影", {6, 7}},
      {"等角割圆锥投影", {1, 5, 8, 9}},
      {"正轴等距离割圆锥投影(指定双标准线法)", {1, 8, 9}},
      {"透视方位投影", {6, 7, 19, 21}},
      {"正切等差分纬线多圆锥投影", {1, 22, 23, 24, 25, 26, 27}},
      {"等差分纬线多圆锥投影", {1, 22, 23, 24, 25}},
      {"斜轴等面积圆锥投影", {6, 7, 19, 20}},
      {"横轴等距离圆锥投影", {7, 19, 20}},
      {"伪方位投影3", {6, 7, 15, 14, 17, 13, 18, 16}},
  };
  const std::string tail = kTail;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.model);
    ModelProjection projection(row.model);
    ProjectedDouble system(zone39.real->GetProjectedCoordSys());
    system.projection_ = &projection;
    ReferenceDouble reference(zone39.real.get());
    reference.projected_ = &system;
    const std::string head =
        Header(kZone39, kGaussDescription) + ProjectedHead(Geographic(), ModelLines(row.model));
    std::string text;
    EXPECT_TRUE(GIS_FormatSpatialReferenceInfo(&reference, &text));
    ASSERT_GE(text.size(), head.size() + tail.size());
    ASSERT_EQ(text.substr(0, head.size()), head);
    ASSERT_EQ(text.substr(text.size() - tail.size()), tail);
    // Each parameter line names its parameter in full (the name leads back
    // to its index) and gives its value.
    std::vector<int> listed;
    for (size_t at = head.size(), end; at < text.size() - tail.size(); at = end + 2) {
      end = text.find("\r\n", at);
      const std::string line = text.substr(at, end - at);
      const size_t colon = line.rfind(':');
      ASSERT_NE(colon, std::string::npos) << line;
      const int index = GIS_GetProjectionParameterIndex(line.substr(0, colon).c_str());
      listed.push_back(index);
      EXPECT_EQ(line.substr(colon + 1), std::to_string(index) + ".500000");
    }
    EXPECT_EQ(listed, row.parameters);
  }
}

TEST(SpatialReferenceInfo, MissingProjectionOrUnitAndNullReferences) {
  Reference zone39(2);
  // Without a projection the text ends after the parameters' heading.
  ProjectedDouble bare(zone39.real->GetProjectedCoordSys());
  bare.projection_ = nullptr;
  bare.unit_ = nullptr;
  ReferenceDouble reference(zone39.real.get());
  reference.projected_ = &bare;
  std::string text;
  EXPECT_FALSE(GIS_FormatSpatialReferenceInfo(&reference, &text));
  EXPECT_EQ(text, Header(kZone39, kGaussDescription) +
                      ProjectedHead(Geographic(), Block(kProjection, 3, 0, 3), Block(kLinearUnit, 3, 0, 3)));
  // A projected reference without its projected system: every label, no value.
  reference.projected_ = nullptr;
  EXPECT_FALSE(GIS_FormatSpatialReferenceInfo(&reference, &text));
  EXPECT_EQ(text, Header(kZone39, kGaussDescription) + "投影坐标系名称：\r\n投影坐标系描述信息：\r\n" +
                      Geographic(0, 21) + Block(kLinearUnit, 3, 0, 3) + Block(kProjection, 3, 0, 3) +
                      "投影模型参数：\r\n");
  text = "kept";
  EXPECT_FALSE(GIS_FormatSpatialReferenceInfo(nullptr, &text));
  EXPECT_EQ(text, "kept");
  EXPECT_FALSE(GIS_FormatSpatialReferenceInfo(zone39.real.get(), nullptr));
}

TEST(SpatialReferenceInfo, ParameterNamesAndLines) {
  const struct {
    const char* name;
    int index;
    const char* line;
  } rows[] = {
      {"投影中心点纬度", 0, "投影中心点纬度:0.500000\r\n"},
      {"中央经线", 1, "中央经线:1.500000\r\n"},
      {"带号", 12, "带号:12.500000\r\n"},
      {"伪方位投影对称轴与纵坐标夹角", 13, "伪方位投影对称轴与纵坐标夹角:13.500000\r\n"},
      {"正切等差分纬线多圆锥投影决定极角两参数d", 27,
       "正切等差分纬线多圆锥投影决定极角两参数d:27.500000\r\n"},
      {"", INT_MIN, ":\r\n"},
      {"中央经线 ", INT_MIN, "中央经线 :\r\n"},
      {"central meridian", INT_MIN, "central meridian:\r\n"},
  };
  ModelProjection projection("高斯投影");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GIS_GetProjectionParameterIndex(row.name), row.index);
    std::string text = "a\r\n";
    GIS_AppendProjectionParameter(&projection, row.name, &text);
    EXPECT_EQ(text, std::string("a\r\n") + row.line);
  }
  EXPECT_EQ(GIS_GetProjectionParameterIndex(nullptr), INT_MIN);
}

}  // namespace
