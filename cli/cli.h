#pragma once
// Placeholder: the command-line designer is being written.
