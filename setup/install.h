// The install procedure. InstallPackage and WriteRegistryString are
// declared in set1.h; these are its pure pieces, for tests.
#pragma once

#include <string>

namespace install {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\Run";
constexpr char kRunValue[] = "Brevok Russian Keyboard";
constexpr char kStartMenuFolder[] = "\\Brevok Russian Keyboard";
constexpr int kCommonStartMenuCreate = 0x8016;  // CSIDL_COMMON_STARTMENU | CSIDL_FLAG_CREATE
constexpr unsigned kPathBufferSize = 260;       // MAX_PATH

// The folder part of a program's path: everything up to and including the
// last backslash or colon (empty when there is neither).
std::string PackageFolderOf(const std::string& programPath);

// The template for a Word version number; empty when none applies.
std::string WordTemplateName(int wordVersion);

// /t"<install folder>\<template name>".
std::string DocumentArguments(const std::string& installFolder, const std::string& templateName);

}  // namespace install
