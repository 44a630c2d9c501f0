// The web page's way into the design run, the form model and the design
// files: one call that takes a request as JSON text and gives an answer as
// JSON text, so the page sends and receives nothing but text and no rule,
// caption or message is written a second time in JavaScript.
//
// A request is an object with "op" naming what to do and the op's members:
//   fields                              the field table and the start form
//   apply      state sep field value    a change of one control, its rule run
//   keypress   state sep                a key the page itself received
//   hint       state                    the Max RoF hint's caption
//   design     state sep [explain]      the statblock (with every line's
//                                       derivation when explain is true) and
//                                       the failure and the field at fault
//   explain    state sep line           the derivation of one line
//   randomize  state sep seed [onlyAuto] the Randomize click
//   readDesignFile   text sep           a design file's form
//   writeDesignFile  state sep          a design file's text
//   table      files sep                the weapon table of design files
// `state` is the form as {"NameEdit": {"text": "", "enabled": true}, ...,
// "MaxRoFLabel": "Max RoF:"}, every control named by its field; `sep` is
// the decimal separator, "." or ",". Every answer is an object; a request
// that fails has "error" (the message as the window shows it) and, where a
// rule had changed the form before it failed, "state" too.
#pragma once

#include <string>
#include <string_view>

namespace brennick::web {

// Never throws: whatever goes wrong is an answer with "error".
std::string Call(std::string_view request);

}  // namespace brennick::web
