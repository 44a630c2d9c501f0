// Power supply notes: what feeds a weapon that does not carry its energy in
// the cartridge. At most one line.
#include <string>
#include <string_view>

#include "engine/design.h"
#include "engine/internal/run.h"

namespace brennick {
namespace {

// Removable cells of ETC and ETK guns, smallest first: {standard, paper}.
// Paper D and E cells are bulkier and take a second longer (or two) to swap.
constexpr std::string_view kRemovableCell[5][2] = {
    {"Removable A cell (UT19) provides power to fire 10 magazines of ammunition. Takes 3 seconds "
     "to reload.",
     "Removable A paper cell (P#3-12, p. 12) provides power to fire 10 magazines of ammunition. "
     "Takes 3 seconds to reload."},
    {"Removable B cell (UT19) provides power to fire 10 magazines of ammunition. Takes 3 seconds "
     "to reload.",
     "Removable B paper cell (P#3-12, p. 12) provides power to fire 10 magazines of ammunition. "
     "Takes 3 seconds to reload."},
    {"Removable C cell (UT19) provides power to fire 10 magazines of ammunition. Takes 3 seconds "
     "to reload.",
     "Removable C paper cell (P#3-12, p. 12) provides power to fire 10 magazines of ammunition. "
     "Takes 3 seconds to reload."},
    {"Removable D cell (UT19) provides power to fire 10 magazines of ammunition. Takes 5 seconds "
     "to reload.",
     "Removable D paper cell (P#3-12, p. 12) provides power to fire 10 magazines of ammunition. "
     "Takes 6 seconds to reload."},
    {"Removable E cell (UT19) provides power to fire 10 magazines of ammunition. Takes 10 seconds "
     "to reload.",
     "Removable E paper cell (P#3-12, p. 12) provides power to fire 10 magazines of ammunition. "
     "Takes 12 seconds to reload."},
};
enum CellSize : int { kA = 0, kB = 1, kC = 2, kD = 3, kE = 4 };

// Built-in cells of Gauss and Grav guns by configuration (Pistol to Support):
// {standard, paper}.
constexpr std::string_view kBuiltInCell[4][2] = {
    {"The B cell (UT19) that powers the weapon provides enough energy for firing its specified "
     "number of Shots, and is included in the weight.",
     "The B paper cell (P#3-12, p. 12) that powers the weapon provides enough energy for firing "
     "its specified number of Shots, and is included in the weight."},
    {"The two B cells (UT19) that power the weapon provide enough energy for firing its specified "
     "number of Shots, and are included in the weight.",
     "The two B paper cells (P#3-12, p. 12) that power the weapon provide enough energy for firing "
     "its specified number of Shots, and are included in the weight."},
    {"The C cell (UT19) that powers the weapon provides enough energy for firing its specified "
     "number of Shots, and is included in the weight.",
     "The C paper cell (P#3-12, p. 12) that powers the weapon provides enough energy for firing "
     "its specified number of Shots, and is included in the weight."},
    {"The D cell (UT19) that powers the weapon provides enough energy for firing its specified "
     "number of Shots, and is included in the weight.",
     "The D paper cell (P#3-12, p. 12) that powers the weapon provides enough energy for firing "
     "its specified number of Shots, and is included in the weight."},
};

constexpr std::string_view kPropellantBottle =
    "A propellant bottle can fire three magazines of shots and takes five seconds to reload.";

// The removable cell by configuration (Pistol to Support): ETC guns, and ETK
// guns under the house rule, use the light row; true ETK guns one size up.
constexpr CellSize kLightCell[4] = {kA, kB, kC, kD};
constexpr CellSize kHeavyCell[4] = {kB, kC, kD, kE};

}  // namespace

void RunPowerNoteStage(DesignRun& r) {
  const DesignInput& in = r.in;
  const int config = in.ConfigurationBox;
  const int paper = in.PaperBox ? 1 : 0;
  // Cannons (and unconfigured designs) name no cell of their own.
  const bool carriesCell = IsTabledConfiguration(config);

  switch (in.PropellantBox) {
    case kLiquid:
      r.Line(kPropellantBottle);
      if (r.explain) [[unlikely]]
        ExplainLine(r, 0, [&] { return Derivation{"Liquid propellant is fed from a bottle"}; });
      break;
    case kETC:
    case kETK:
      if (carriesCell) {
        const bool heavy = in.PropellantBox == kETK && !in.HouseETCBox;
        r.Line(kRemovableCell[(heavy ? kHeavyCell : kLightCell)[config]][paper]);
        if (r.explain) [[unlikely]] {
          ExplainLine(r, 0, [&] {
            return Derivation{std::string("An ") + (in.PropellantBox == kETC ? "ETC" : "ETK") +
                              " " + std::string(ConfigurationName(config)) +
                              " fires from a removable cell, " +
                              (heavy ? "one size up for true ETK" : "the light size") +
                              (paper ? ", a paper cell as Uses Paper Cells is ticked" : "")};
          });
        }
      }
      break;
    case kGauss:
    case kGrav:
      if (carriesCell) {
        r.Line(kBuiltInCell[config][paper]);
        if (r.explain) [[unlikely]] {
          ExplainLine(r, 0, [&] {
            return Derivation{"A " + std::string(PropellantName(in.PropellantBox)) + " " +
                              std::string(ConfigurationName(config)) +
                              " carries a built-in cell, counted in its weight" +
                              (paper ? "; a paper cell as Uses Paper Cells is ticked" : "")};
          });
        }
      }
      break;
    default:
      break;
  }
}

}  // namespace brennick
