// Strength, bulk and recoil: the ST lines (with the KYOS scale on request),
// the Bulk line and the Rcl lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "engine/ext.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

// The three shots a weapon is rated for: normal, boosted and low velocity.
using Variants = std::array<std::int32_t, 3>;
enum Variant : int { kNormalShot = 0, kBoostedShot = 1, kLowShot = 2 };

// One recoil row: recoil of a variant = round((share x D - offset) / divisor)
// + bump, D being the damage in dice.
struct RecoilRow {
  double share[3];
  double offset;
  double divisor;
  int bump;
};

// Recoil rows by configuration: {base, Gauss, shotgun}. Only Rifle and Support
// have a Gauss row of their own; the others repeat their base row.
constexpr RecoilRow kRecoil[4][3] = {
    {
        {{1, 1.25, 0.5}, 0.75, 1, 0},  // Pistol
        {{1, 1.25, 0.5}, 0.75, 1, 0},
        {{1, 1.25, 0.5}, 0, 1, 1},  // shotgun
    },
    {
        {{1, 1.25, 0.5}, 0, 1.7, 0},  // SMG
        {{1, 1.25, 0.5}, 0, 1.7, 0},
        {{1, 1.25, 0.5}, 0, 1, 0},  // shotgun
    },
    {
        {{1, 1.25, 0.5}, 0, 3.3, 0},  // Rifle
        {{1, 1.25, 0.5}, 0, 4, 0},    // Gauss
        {{0.65, 1, 0.45}, 0, 1, 0},   // shotgun
    },
    {
        {{1, 1.25, 0.5}, 0, 3.3, 0},  // Support
        {{1, 1.25, 0.5}, 0, 5, 0},    // Gauss
        {{1, 1.25, 0.5}, 0, 1, 0},    // shotgun
    },
};
constexpr std::int32_t kMinimumRecoil = 2;

// Bulk by configuration: length factor per barrel (Short, Medium, Long), the
// scale that turns weight times length into the logarithm's argument, and the
// least bulk a gun of that kind can have.
struct BulkRow {
  double length[3];
  double scale;
  std::int32_t minimum;
};
constexpr BulkRow kBulk[4] = {
    {{0.1, 1.0, 1.7}, 260, 1},  // Pistol
    {{2, 4, 8}, 160, 3},        // SMG
    {{3, 15, 175}, 260, 4},     // Rifle
    {{3, 55, 175}, 520, 5},     // Support
};

constexpr std::string_view kDagger = "\u2020";

Variants Recoils(const DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  Variants recoil{0, 0, 0};
  if (IsTabledConfiguration(config)) {
    const int row = in.ShotgunBox ? 2 : in.PropellantBox == kGauss ? 1 : 0;
    const RecoilRow& rr = kRecoil[config][row];
    const double dice = r.q.DamageDice;
    for (std::size_t v = 0; v < 3; ++v) {
      const std::int64_t rounded =
          RoundHalfEven((ext(rr.share[v]) * dice - rr.offset) / rr.divisor);
      recoil[v] = Wrap32(rounded + rr.bump);
      if (recoil[v] < kMinimumRecoil) recoil[v] = kMinimumRecoil;
    }
  }
  // Recoilless guns and gravitic drivers kick no more than a target pistol.
  if (in.RecoillessCheckBox || in.PropellantBox == kGrav) recoil = {1, 1, 1};
  return recoil;
}

Variants Strengths(const DesignRun& r, const Variants& recoil) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  Variants strength{0, 0, 0};
  if (IsTabledConfiguration(config)) {
    // Handguns are held out at arm's length; long arms are braced, and rated
    // on a heavier hold when they kick no more than a recoilless gun.
    double holdFactor = 10;
    double recoilFactor = 9;
    if (config != kPistol) {
      holdFactor = recoil[kNormalShot] == 1 ? 4 : 2.7;
      recoilFactor = 3.5;
    }
    const double w = r.q.LoadedWeightLb;
    for (std::size_t v = 0; v < 3; ++v) {
      const ext load = ext(holdFactor) * w + ext(recoilFactor) * w * recoil[v];
      strength[v] = Wrap32(RoundHalfEven(CheckedSqrt(load)));
    }
  }
  const int relief = (in.SmartgripBox ? 1 : 0) + (in.MuzzleBox == kCompensator ? 1 : 0);
  for (std::int32_t& s : strength) s = Wrap32(std::int64_t{s} - relief);
  return strength;
}

// "Knowing Your Own Strength" scale: 10 stays 10, each doubling adds 6.
std::int32_t KyosStrength(std::int32_t st) {
  const std::int32_t kyos = Wrap32(RoundHalfEven(ext(20) * CheckedLog10(st) - 10));
  return kyos < 1 ? 1 : kyos;
}

std::int32_t Bulk(const DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  std::int32_t bulk = 0;
  if (IsTabledConfiguration(config)) {
    const BulkRow& row = kBulk[config];
    const int barrel = BarrelColumn(in.BarrelBox);
    const double lengthFactor = barrel >= 0 ? row.length[barrel] : 0;
    bulk = Wrap32(RoundedLog10(ext(r.q.LoadedWeightLb) * lengthFactor * row.scale));
    if (bulk < row.minimum) bulk = row.minimum;
  }
  // A muzzle weight makes any gun more unwieldy.
  if (in.MuzzleWeightBox) bulk = Wrap32(std::int64_t{bulk} + 1);
  return bulk;
}

// A strength line: handguns plain, long arms with the dagger mark (and the
// lower figure on a bipod when one is fitted), cannons marked as mounted; an
// empty line without a configuration.
// The steps of a strength line: `variant` is the shot it is for, `kyos` whether
// it is the Knowing-Your-Own-Strength figure of the normal shot.
[[gnu::cold, gnu::noinline]] void ExplainStrength(DesignRun& r, std::string_view prefix,
                                                  int variant, bool kyos) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  Derivation d;
  if (!IsTabledConfiguration(config)) {
    d.push_back(config < 0 ? "No configuration selected: the strength line is left empty"
                           : "A " + std::string(ConfigurationName(config)) +
                                 " has no strength table: ST 0, less any relief");
  } else {
    const Variants recoil = Recoils(r);
    const double w = r.q.LoadedWeightLb;
    const double hold = config == kPistol ? 10 : recoil[kNormalShot] == 1 ? 4 : 2.7;
    const double kick = config == kPistol ? 9 : 3.5;
    const std::int32_t shotRecoil = recoil[static_cast<std::size_t>(variant)];
    const ext load = ext(hold) * w + ext(kick) * w * shotRecoil;
    d.push_back("Loaded weight " + r.Num(w) + " lb, recoil " + IntText(shotRecoil));
    d.push_back("ST = square root of (" + r.Num(hold) + " x " + r.Num(w) + " + " + r.Num(kick) +
                " x " + r.Num(w) + " x " + IntText(shotRecoil) + ") = square root of " +
                r.Num(load) + " = " + r.Num(CheckedSqrt(load)) +
                ", rounded: " + IntText(RoundHalfEven(CheckedSqrt(load))));
  }
  if (in.SmartgripBox) d.push_back("Smartgrip: -1");
  if (in.MuzzleBox == kCompensator) d.push_back("Compensator: -1");
  if (kyos) {
    const std::int32_t plain = Strengths(r, Recoils(r))[kNormalShot];
    d.push_back("Knowing Your Own Strength: 20 x log10 of " + IntText(plain) +
                " - 10 = " + r.Num(ext(20) * CheckedLog10(plain) - 10) + ", rounded, at least 1");
  } else if (prefix.find("KYOS") != std::string_view::npos) {
    d.push_back("The velocity variants of the KYOS line carry the strength unconverted");
  }
  switch (config) {
    case kSMG:
    case kRifle:
    case kSupport:
      d.push_back(in.BipodBox ? "A long arm on a bipod: B and a dagger, and two thirds of the ST, "
                                "rounded, when braced"
                              : "A long arm: a dagger marks the ST of a braced two-handed hold");
      break;
    case kCannon:
      d.push_back("A Cannon: M, it is mounted");
      break;
    default:
      break;
  }
  r.Explained(std::move(d), config >= 0 && config <= kCannon ? prefix.size() : 0);
}

void StrengthLine(DesignRun& r, std::string_view prefix, std::int32_t st, int variant = 0,
                  bool kyos = false) {
  switch (r.in.ConfigurationBox) {
    case kPistol:
      r.Line(prefix, st);
      break;
    case kSMG:
    case kRifle:
    case kSupport:
      if (r.in.BipodBox) {
        const std::int64_t braced = RoundHalfEven(ext(2) * st / 3);
        r.Line(prefix, st, "B", kDagger, " (ST ", braced, " on a bipod)");
      } else {
        r.Line(prefix, st, kDagger);
      }
      break;
    case kCannon:
      r.Line(prefix, st, "M");
      break;
    default:
      r.Line();
      break;
  }
  if (r.explain) [[unlikely]]
    ExplainStrength(r, prefix, variant, kyos);
}

[[gnu::cold, gnu::noinline]] void ExplainRecoil(DesignRun& r, int variant, std::size_t label) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  Derivation d;
  if (in.RecoillessCheckBox || in.PropellantBox == kGrav) {
    d.push_back(in.RecoillessCheckBox ? "A recoilless gun: Rcl 1" : "A Grav gun: Rcl 1");
  } else if (!IsTabledConfiguration(config)) {
    d.push_back("A " + std::string(ConfigurationName(config)) + " has no recoil table: Rcl 0");
  } else {
    const int row = in.ShotgunBox ? 2 : in.PropellantBox == kGauss ? 1 : 0;
    const RecoilRow& rr = kRecoil[config][row];
    const ext x = (ext(rr.share[variant]) * r.q.DamageDice - rr.offset) / rr.divisor;
    d.push_back("Recoil table, " + std::string(ConfigurationName(config)) +
                (row == 2   ? ", shotgun"
                 : row == 1 ? ", Gauss"
                            : "") +
                ": (" + r.Num(rr.share[variant]) + " x damage dice " + r.Num(r.q.DamageDice) +
                " - " + r.Num(rr.offset) + ") / " + r.Num(rr.divisor) + " = " + r.Num(x) +
                ", rounded: " + IntText(RoundHalfEven(x)) +
                (rr.bump != 0 ? ", +" + IntText(rr.bump) : ""));
    d.push_back("Rcl is at least " + IntText(kMinimumRecoil));
  }
  r.Explained(std::move(d), label);
}

}  // namespace

void RunStrengthStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const bool variants = r.VelocityVariants();

  const Variants recoil = Recoils(r);
  const Variants strength = Strengths(r, recoil);

  StrengthLine(r, "ST ", strength[kNormalShot]);
  if (variants) {
    StrengthLine(r, "- Boosted Velocity ST ", strength[kBoostedShot], kBoostedShot);
    StrengthLine(r, "- Low Velocity ST ", strength[kLowShot], kLowShot);
  }
  if (in.KYOSBox) {
    StrengthLine(r, "KYOS ST ", KyosStrength(strength[kNormalShot]), kNormalShot, true);
    if (variants) {
      StrengthLine(r, "- Boosted Velocity KYOS ST ", strength[kBoostedShot], kBoostedShot);
      StrengthLine(r, "- Low Velocity KYOS ST ", strength[kLowShot], kLowShot);
    }
  }
  r.Line("Bulk -", Bulk(r));
  if (r.explain) [[unlikely]] {
    const int barrel = BarrelColumn(in.BarrelBox);
    if (IsTabledConfiguration(in.ConfigurationBox)) {
      const BulkRow& row = kBulk[in.ConfigurationBox];
      const double length = barrel >= 0 ? row.length[barrel] : 0;
      const ext x = ext(r.q.LoadedWeightLb) * length * row.scale;
      ExplainLine(r, 5, [&] {
        return Derivation{"Bulk = log10 of (loaded weight x length factor x scale) = log10 of (" +
                              r.Num(r.q.LoadedWeightLb) + " x " + r.Num(length) + " x " +
                              r.Num(row.scale) + ") = log10 of " + r.Num(x) +
                              ", rounded, at least " + IntText(row.minimum) +
                              (in.MuzzleWeightBox ? "; muzzle weight +1" : ""),
                          "Written with a minus sign"};
      });
    } else {
      ExplainLine(r, 5, [&] {
        return Derivation{"A " + std::string(ConfigurationName(in.ConfigurationBox)) +
                              " has no bulk table: bulk 0" +
                              (in.MuzzleWeightBox ? ", muzzle weight +1" : ""),
                          "Written with a minus sign"};
      });
    }
  }
  r.Line("Rcl ", recoil[kNormalShot]);
  if (r.explain) [[unlikely]]
    ExplainRecoil(r, kNormalShot, 4);
  if (variants) {
    r.Line("- Boosted Velocity Rcl ", recoil[kBoostedShot]);
    if (r.explain) [[unlikely]]
      ExplainRecoil(r, kBoostedShot, 23);
    r.Line("- Low Velocity Rcl ", recoil[kLowShot]);
    if (r.explain) [[unlikely]]
      ExplainRecoil(r, kLowShot, 19);
  }
}

}  // namespace brennick
