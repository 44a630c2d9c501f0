#include <iostream>

#include "design.h"

int main() {
  brennick::DesignInput in;
  in.BoreSizeEdit = "10";
  in.ConfigurationBox = brennick::kPistol;
  in.BarrelBox = brennick::kMedium;
  in.LoadingMechanismBox = brennick::kFastAutoloader;
  auto r = brennick::RunDesign(in);
  for (auto& l : r.lines) std::cout << l << "\n";
  if (r.error) std::cerr << *r.error << "\n";
}
