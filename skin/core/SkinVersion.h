#pragma once

// Version of the skin engine library, as reported to the program.
namespace skin {
const char* EngineVersion();
}
