// Writes random designs as JSON Lines for timing brennick-cli:
//   bench_make_cli_input COUNT [SEED] [full] > designs.jsonl
// Each line is one design object with the fields that differ from the form's
// start values (as a script would write them), or with every field of the
// form when "full" is given.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "engine/design.h"
#include "engine/random.h"
#include "form/fields.h"
#include "formats/json_text.h"
#include "tests/support/random_design.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: bench_make_cli_input COUNT [SEED] [full]\n");
    return 2;
  }
  const long count = std::strtol(argv[1], nullptr, 10);
  const auto seed = static_cast<std::uint32_t>(argc >= 3 ? std::strtoul(argv[2], nullptr, 10) : 1);
  const bool full = argc == 4 && std::string(argv[3]) == "full";
  const brennick::DesignInput start;
  brennick::RandomSource rng(seed);
  std::string line;
  for (long n = 0; n < count; ++n) {
    const brennick::DesignInput in = brennick::bench::RandomDesign(rng);
    line.clear();
    char sep = '{';
    for (const brennick::FieldInfo& field : brennick::DesignFields()) {
      const bool same =
          field.kind == brennick::FieldKind::Text    ? in.*field.text == start.*field.text
          : field.kind == brennick::FieldKind::Group ? in.*field.group == start.*field.group
                                                     : in.*field.check == start.*field.check;
      if (same && !full) continue;
      line += sep;
      sep = ',';
      brennick::json::AppendQuoted(line, field.name);
      line += ':';
      switch (field.kind) {
        case brennick::FieldKind::Text:
          brennick::json::AppendQuoted(line, in.*field.text);
          break;
        case brennick::FieldKind::Group:
          line += std::to_string(in.*field.group);
          break;
        case brennick::FieldKind::Check:
          line += in.*field.check ? "true" : "false";
          break;
      }
    }
    if (sep == '{') line += sep;
    line += "}\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
