#pragma once

#include <zip.h>

// libzip lives in a module of its own (soranika_zip) that the program loads when it first reads or
// writes an archive: an ordinary start, whose backup of the day is made already, then neither maps nor
// relocates libzip and the cryptography library it brings. The module hands over libzip's functions as
// they are; what the program makes of them stays in the program.
struct ZipFunctions
{
    decltype(&::zip_libzip_version) zip_libzip_version;
    decltype(&::zip_open) zip_open;
    decltype(&::zip_close) zip_close;
    decltype(&::zip_discard) zip_discard;
    decltype(&::zip_source_buffer) zip_source_buffer;
    decltype(&::zip_source_file) zip_source_file;
    decltype(&::zip_source_free) zip_source_free;
    decltype(&::zip_file_add) zip_file_add;
    decltype(&::zip_set_file_compression) zip_set_file_compression;
    decltype(&::zip_file_set_mtime) zip_file_set_mtime;
    decltype(&::zip_get_num_entries) zip_get_num_entries;
    decltype(&::zip_get_name) zip_get_name;
    decltype(&::zip_name_locate) zip_name_locate;
    decltype(&::zip_stat_init) zip_stat_init;
    decltype(&::zip_stat_index) zip_stat_index;
    decltype(&::zip_fopen_index) zip_fopen_index;
    decltype(&::zip_fread) zip_fread;
    decltype(&::zip_fclose) zip_fclose;
};

// The name of the function through which the module hands them over.
inline constexpr char ZipEntryName[] = "soranikaZipFunctions";

// libzip's functions, the module loaded at the first call and kept for the rest of the run. A module
// that cannot be loaded fails with a Failure that says so, and is tried again at the next call.
const ZipFunctions& zipLibrary();
