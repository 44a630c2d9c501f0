// Ammunition: the cartridge's designation, its weight and cost per shot, and
// its legality class.

#include "internal/run.h"

namespace brennick {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kBarrelLetter[] = {"S", "M", "L"};
constexpr std::string_view kPropellantSuffix[] = {"", "-LP", "-ETC", "-ETK", "-GA", "-GR"};

// The cartridge's designation: bore, CL for caseless, the barrel's letter,
// the propellant and the recoilless mark, then the TL.
void DesignationLine(DesignRun& r) {
  const DesignInput& in = r.in;
  r.Line(Number{r.q.BoreMm}, "mm", in.CaselessBox ? "CL"sv : ""sv,
         ItemOr(kBarrelLetter, in.BarrelBox, ""), ItemOr(kPropellantSuffix, in.PropellantBox, ""),
         in.RecoillessCheckBox ? (in.ColdCountermassBox ? "RL-C"sv : "RL"sv) : ""sv, " (TL",
         in.TLEdit, ")");
}

double CostPerShot(const DesignRun& r) {
  const DesignInput& in = r.in;
  const double bore = r.q.BoreMm;
  const int prop = in.PropellantBox;

  // Bigger rounds cost disproportionately more per pound.
  const double perPound = bore <= 7 ? 2 : bore <= 64 ? 20 : 100;
  double cost = Times(r.q.WeightPerShotLb, perPound);
  if (in.RecoillessCheckBox && in.ColdCountermassBox) cost = Times(cost, 1.5);
  // Chemical rounds with a case are the cheap, mass-produced kind.
  if (!in.CaselessBox && prop < kGauss) cost = Times(cost, 0.33);
  if (prop == kLiquid) cost = Times(cost, 1.5);
  if (prop == kETK && !in.HouseETCBox) cost = Times(cost, 1.5);
  if (prop == kGauss) cost = Times(cost, 5);
  if (prop == kGrav) cost = Times(cost, 4);
  return cost;
}

std::string_view LegalityClass(double bore) {
  if (bore <= 15) return "LC 3";
  if (bore <= 64) return "LC 2";
  return "LC 1";
}

}  // namespace

void RunAmmunitionStage(DesignRun& r) {
  r.Line(" ");
  r.Line("Ammunition");
  DesignationLine(r);
  r.Line("WPS ", Number{r.q.WeightPerShotLb});
  r.Line("CPS ", Number{CostPerShot(r)});
  r.Line(LegalityClass(r.q.BoreMm));
}

}  // namespace brennick
