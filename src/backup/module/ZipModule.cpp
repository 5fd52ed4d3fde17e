// The module that links libzip: it hands the program libzip's functions, and nothing else. Its one
// function is the one ZipEntryName names.

#include "backup/ZipFunctions.h"

// Exported as every function of a shared library is, on Linux and with MinGW alike.
extern "C" const ZipFunctions* soranikaZipFunctions()
{
    static const ZipFunctions functions{
        .zip_libzip_version = &::zip_libzip_version,
        .zip_open = &::zip_open,
        .zip_close = &::zip_close,
        .zip_discard = &::zip_discard,
        .zip_source_buffer = &::zip_source_buffer,
        .zip_source_file = &::zip_source_file,
        .zip_source_free = &::zip_source_free,
        .zip_file_add = &::zip_file_add,
        .zip_set_file_compression = &::zip_set_file_compression,
        .zip_file_set_mtime = &::zip_file_set_mtime,
        .zip_get_num_entries = &::zip_get_num_entries,
        .zip_get_name = &::zip_get_name,
        .zip_name_locate = &::zip_name_locate,
        .zip_stat_init = &::zip_stat_init,
        .zip_stat_index = &::zip_stat_index,
        .zip_fopen_index = &::zip_fopen_index,
        .zip_fread = &::zip_fread,
        .zip_fclose = &::zip_fclose,
    };
    return &functions;
}
