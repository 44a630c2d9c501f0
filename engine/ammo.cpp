// Ammunition: the cartridge's designation, its weight and cost per shot, and
// its legality class.
#include <string>
#include <string_view>
#include <utility>

#include "engine/design.h"
#include "engine/internal/run.h"

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

[[gnu::cold, gnu::noinline]] void ExplainDesignation(DesignRun& r) {
  const DesignInput& in = r.in;
  Derivation d;
  d.push_back("Bore " + r.Num(r.q.BoreMm) + " and mm");
  d.push_back(in.CaselessBox ? "Caseless: CL" : "With a case: no mark");
  d.push_back(
      std::string(BarrelName(in.BarrelBox)) + ": " +
      (BarrelColumn(in.BarrelBox) < 0 ? "no letter" : std::string(kBarrelLetter[in.BarrelBox])));
  const std::string_view suffix = ItemOr(kPropellantSuffix, in.PropellantBox, "");
  d.push_back(std::string(PropellantName(in.PropellantBox)) + ": " +
              (suffix.empty() ? std::string("no mark") : std::string(suffix)));
  if (in.RecoillessCheckBox)
    d.push_back(in.ColdCountermassBox ? "Cold counter-mass: RL-C" : "Recoilless: RL");
  d.push_back("TL as typed: " + Quoted(in.TLEdit));
  r.Explained(std::move(d));
}

[[gnu::cold, gnu::noinline]] void ExplainCostPerShot(DesignRun& r) {
  const DesignInput& in = r.in;
  const double bore = r.q.BoreMm;
  const int prop = in.PropellantBox;
  Derivation d;
  const double perPound = bore <= 7 ? 2 : bore <= 64 ? 20 : 100;
  d.push_back("Bore " + r.Num(bore) + " mm: $" + r.Num(perPound) + " a pound (7 mm or less: $2; " +
              "up to 64 mm: $20; above: $100)");
  d.push_back("Weight per shot " + r.Num(r.q.WeightPerShotLb) + " x " + r.Num(perPound) + " = " +
              r.Num(Times(r.q.WeightPerShotLb, perPound)));
  if (in.RecoillessCheckBox && in.ColdCountermassBox) d.push_back("Cold counter-mass: x 1.5");
  if (!in.CaselessBox && prop < kGauss) d.push_back("Cased chemical rounds: x 0.33");
  if (prop == kLiquid) d.push_back("Liquid propellant: x 1.5");
  if (prop == kETK && !in.HouseETCBox) d.push_back("ETK: x 1.5");
  if (prop == kGauss) d.push_back("Gauss: x 5");
  if (prop == kGrav) d.push_back("Grav: x 4");
  d.push_back("Not rounded: dollars per shot");
  r.Explained(std::move(d), 4);
}

}  // namespace

void RunAmmunitionStage(DesignRun& r) {
  r.Line(" ");
  if (r.explain) [[unlikely]]
    ExplainLine(r, 0, [&] { return Derivation{"A blank line before the ammunition"}; });
  r.Line("Ammunition");
  if (r.explain) [[unlikely]]
    ExplainLine(r, 0, [&] { return Derivation{"The heading of the ammunition block"}; });
  DesignationLine(r);
  if (r.explain) [[unlikely]]
    ExplainDesignation(r);
  r.Line("WPS ", Number{r.q.WeightPerShotLb});
  if (r.explain) [[unlikely]] {
    ExplainLine(r, 4, [&] {
      return Derivation{"Weight per shot, in pounds, as the weight worked it out: " +
                        r.Num(r.q.WeightPerShotLb)};
    });
  }
  r.Line("CPS ", Number{CostPerShot(r)});
  if (r.explain) [[unlikely]]
    ExplainCostPerShot(r);
  r.Line(LegalityClass(r.q.BoreMm));
  if (r.explain) [[unlikely]] {
    const double bore = r.q.BoreMm;
    ExplainLine(r, 3, [&] {
      return Derivation{"Legality class by bore " + r.Num(bore) + " mm: " +
                        (bore <= 15   ? "15 mm or less, LC 3"
                         : bore <= 64 ? "above 15 mm up to 64 mm, LC 2"
                                      : "above 64 mm (or no number), LC 1")};
    });
  }
}

}  // namespace brennick
