#pragma once
// Export marker of the framework's public classes and free functions. The framework is linked whole into the
// executable, which exports its symbols; on ELF default visibility is what "exported by name" means.
#define TEV_EXPORT __attribute__((visibility("default")))
