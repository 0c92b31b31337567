#pragma once
// Export marker of the framework's public classes and free functions, for every folder of the framework from the
// platform layer up. The framework is linked whole into the executable, which exports its symbols; on ELF
// default visibility is what "exported by name" means.
#define TEV_EXPORT __attribute__((visibility("default")))
