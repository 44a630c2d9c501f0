// The design run: form values in, statblock lines out.
//
// Everything here is plain C++ with no toolkit dependency, so the window, the
// command-line designer, the tests and the fuzzers all share one calculation.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace brennick {

// ---------------------------------------------------------------------------
// Item indices of the option groups. -1 always means "nothing selected".

enum Configuration : int { kPistol = 0, kSMG = 1, kRifle = 2, kSupport = 3, kCannon = 4 };
enum BarrelLength : int { kShort = 0, kMedium = 1, kLong = 2 };
enum LoadingMechanism : int {
  kMuzzleloader = 0,
  kMuzzleloaderCarriage = 1,
  kBreechloader = 2,
  kManualRepeater = 3,
  kRevolver = 4,
  kMechanicalGatling = 5,
  kSlowAutoloader = 6,
  kFastAutoloader = 7,
  kLightAutomatic = 8,
  kHeavyAutomatic = 9,
  kElectricGatling = 10,
};
enum Propellant : int { kStandard = 0, kLiquid = 1, kETC = 2, kETK = 3, kGauss = 4, kGrav = 5 };
enum CaselessMods : int { kPLBNone = 0, kHighCyclic = 1, kPreloaded = 2 };
enum MuzzleAttachment : int {
  kMuzzleNone = 0,
  kCompensator = 1,
  kFlashHider = 2,
  kMuzzlePort = 3,
  kZeroGCompensator = 4
};
enum Quality : int { kNormal = 0, kFine = 1, kVeryFine = 2, kCheap = 3 };

// ---------------------------------------------------------------------------
// One field per control of the design form that the run reads, named after
// the control. Text fields keep the text exactly as typed; option groups hold
// the 0-based index of the selected item (-1 for none); check boxes are bools.
// The initialisers are the form's start values, so a default-constructed
// DesignInput is the form as the window opens.
struct DesignInput {
  // Text fields.
  std::string NameEdit;
  std::string TLEdit = "9";
  std::string BoreSizeEdit;
  std::string PowerModEdit = "1";
  std::string BarrelsEdit = "1";
  std::string ChambersEdit = "1";
  std::string RoFEdit = "1";
  std::string ShotsEdit = "1";
  std::string ArbWeight = "0";
  std::string ArbCF = "0";

  // Option groups.
  int ConfigurationBox = -1;
  int BarrelBox = -1;
  int LoadingMechanismBox = -1;
  int PropellantBox = 0;
  int PLBBox = 0;
  int GaussHCCBBox = 0;
  int MuzzleBox = 0;
  int CamouflageBox = 0;
  int StylingBox = 0;
  int QualityAccurate = 0;
  int QualityReliable = 0;
  int TargetingSoftware = 0;

  // Check boxes.
  bool RecoillessCheckBox = false;
  bool ColdCountermassBox = false;
  bool ShotgunBox = false;
  bool ExtraLowBox = false;
  bool BipodBox = false;
  bool ElectricBox = false;
  bool ClosedBoltBox = false;
  bool CaselessBox = true;
  bool HouseETCBox = false;
  bool HouseGauss = false;
  bool HouseDRBox = false;
  bool KYOSBox = false;
  bool PaperBox = false;
  bool HUDLinkBox = true;
  bool DataChip = false;
  bool GreenEyes = false;
  bool HUDCable = true;
  bool MicroRadio = false;
  bool SecureEncryption = false;
  bool TinyComputer = false;
  bool MultispectralLaserSightBox = true;
  bool CTSBox = false;
  bool ETSBox = false;
  bool TransponderRingBox = false;
  bool RecognitionGripBox = true;
  bool RGPalm = true;
  bool RGVoice = false;
  bool RGGlove = false;
  bool RGGPS = false;
  bool RGIFF = false;
  bool SDATBox = false;
  bool DiagnosticComputerBox = true;
  bool AntiTamper = false;
  bool DTagBox = false;
  bool IFFBox = false;
  bool IronSightsBox = true;
  bool AccRailU = false;
  bool AccRailO = false;
  bool AccRailS = false;
  bool AccRailT = false;
  bool GravCompBox = false;
  bool SmartgripBox = false;
  bool MuzzleWeightBox = false;
  bool SpaceProof = false;
  bool FoldingStockBox = false;
  bool DisguisedBox = false;
  bool RuggedBox = false;

  bool operator==(const DesignInput&) const = default;
};

// The statblock: the lines of one run, in order, only ever appended to.
using Statblock = std::vector<std::string>;

// The outcome of one run: every line appended, and the failure message when
// the run stopped early (the lines before the failure are kept).
struct DesignResult {
  Statblock lines;
  std::optional<std::string> error;
};

// The single error type of the program. Its message is exactly the text the
// user sees in the error report.
// message() is the whole text; what() ends at a NUL character that a quoted
// text may hold.
class DesignError : public std::runtime_error {
 public:
  explicit DesignError(const std::string& message)
      : std::runtime_error(message), message_(std::make_shared<const std::string>(message)) {}
  explicit DesignError(const char* message) : DesignError(std::string(message)) {}
  const std::string& message() const { return *message_; }

 private:
  std::shared_ptr<const std::string> message_;  // shared: copying an exception must not throw
};

// The user-facing failure messages.
inline constexpr const char* kInvalidFloatOp = "Invalid floating point operation";
inline constexpr const char* kDivByZero = "Floating point division by zero";
inline constexpr const char* kOverflow = "Floating point overflow";
DesignError InvalidFloatText(std::string_view text);  // "'%s' is not a valid floating point value"
DesignError InvalidIntegerText(std::string_view text);  // "'%s' is not a valid integer value"

// ---------------------------------------------------------------------------
// Reading text fields. `dec` is the system's decimal separator.

// Strict decimal number: spaces, sign, digits with an optional separator and
// fraction, an optional exponent, trailing spaces. Anything else throws.
double ParseFloatStrict(std::string_view text, char dec);
std::optional<double> TryParseFloat(std::string_view text, char dec);
double FloatOr(std::string_view text, char dec, double fallback);

// Strict integer: leading spaces, sign, decimal digits or hex introduced by
// $, x, X, 0x or 0X; nothing may follow; must fit 32 bits. Anything else throws.
std::int32_t ParseIntStrict(std::string_view text);
std::optional<std::int32_t> TryParseInt(std::string_view text);
std::int32_t IntOr(std::string_view text, std::int32_t fallback);

// ---------------------------------------------------------------------------
// Number texts.

std::string IntText(std::int64_t value);
// At most 15 significant digits, no trailing zeros, scientific form below
// 0.0001 and from 10^15.
std::string GeneralNumberText(long double value, char dec);
// Damage in dice as the game writes it: 1d-5 ... 1d, 3d+1, 7d-1, ...
std::string DiceText(double dice);

// ---------------------------------------------------------------------------
// Rounding and arithmetic.

// Extended precision: the products and sums of a run are formed in this type
// and stored into double quantities.
using ext = long double;

// Nearest integer, ties to even; |x| beyond 64 bits (or NaN) throws the
// "Invalid floating point operation" message.
std::int64_t RoundHalfEven(long double x);

// ---------------------------------------------------------------------------
// The run.

// Runs the whole design. Never throws: a failure ends the run and is returned
// as the message, with the lines appended before it.
DesignResult RunDesign(const DesignInput& input, char decimalSeparator = '.');

}  // namespace brennick
