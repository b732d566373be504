// Every setter of the furniture elements that takes a number refuses one
// that is not finite: the element keeps its value, and its stored form reads
// back what it held.
#include <cmath>
#include <functional>
#include <limits>

#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/furniture/cgis_slopeelement.h"
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"
#include "tests/layout/graphicelement/furniture/furnituretest.h"

namespace md::test {
namespace {

using NonFinite = FurniturePage;

// One number setter: the value set first, and how to set and get it.
template <class T>
struct Setter {
  const char* name;
  double value;
  void (T::*set)(double);
  double (T::*get)();
};

template <class T>
void ExpectRefused(const Setter<T>& s, T* e, T* back) {
  SCOPED_TRACE(s.name);
  (e->*s.set)(s.value);
  for (double bad :
       {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
    (e->*s.set)(bad);
    EXPECT_EQ((e->*s.get)(), s.value) << bad;
  }
  ASSERT_TRUE(e->Archive(0, 0));
  ASSERT_TRUE(back->Archive(1, 0));
  EXPECT_EQ((back->*s.get)(), s.value);
}

TEST_F(NonFinite, NumberSettersRefuseValuesThatAreNotFinite) {
  using TN = CGIS_ThreeNorthElement;
  for (const Setter<TN>& s :
       {Setter<TN>{"Angle", 12.5, &TN::SetAngle, &TN::GetAngle},
        Setter<TN>{"CoordinateAngle", -1.25, &TN::SetCoordinateAngle, &TN::GetCoordinateAngle},
        Setter<TN>{"MagnetAngle", 3.75, &TN::SetMagnetAngle, &TN::GetMagnetAngle}}) {
    TN* e = New<TN>();
    ExpectRefused(s, e, Bound<TN>(e));
  }
  using SL = CGIS_SlopeElement;
  SL* slope = New<SL>();
  ExpectRefused(Setter<SL>{"ContourInterval", 20.0, &SL::SetContourInterval, &SL::GetContourInterval}, slope,
                Bound<SL>(slope));
  using NA = CGIS_NorthArrowElement;
  NA* arrow = New<NA>();
  ExpectRefused(Setter<NA>{"CalibrationAngle", -7.5, &NA::SetCalibrationAngle, &NA::GetCalibrationAngle},
                arrow, Bound<NA>(arrow));
}

}  // namespace
}  // namespace md::test
