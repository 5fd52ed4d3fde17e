/*
 * Adds a PostScript printer to a Wine prefix and makes it the default, with no CUPS server: Wine's own
 * PostScript driver on the port LPT1:, which the prefix's spooler setting sends wherever the caller
 * chose (HKCU\Software\Wine\Printing\Spooler). Wine adds printers itself only for CUPS queues.
 *
 *   add-printer.exe NAME PPD_PATH     (PPD_PATH: where Wine's generic PPD is written for the driver)
 */
#include <windows.h>
#include <winspool.h>

#include <stdio.h>
#include <string.h>

static int fail(const char* what)
{
    fprintf(stderr, "add-printer: %s (error %lu)\n", what, GetLastError());
    return 1;
}

/* Wine's spooler carries a generic PostScript printer description as a resource. */
static int writeGenericPpd(const wchar_t* path)
{
    HMODULE spooler = LoadLibraryW(L"winspool.drv");
    HRSRC resource = spooler ? FindResourceW(spooler, MAKEINTRESOURCEW(1), L"PPDFILE") : NULL;
    const char* text = resource ? LoadResource(spooler, resource) : NULL;
    if (!text)
        return fail("Wine's generic PPD was not found");
    DWORD size = SizeofResource(spooler, resource);
    const char* end = memchr(text, 0, size);
    if (end)
        size = (DWORD)(end - text);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written = 0;
    BOOL ok = file != INVALID_HANDLE_VALUE && WriteFile(file, text, size, &written, NULL) && written == size;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok ? 0 : fail("the PPD could not be written");
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: add-printer.exe NAME PPD_PATH\n");
        return 2;
    }
    wchar_t* name = argv[1];
    if (writeGenericPpd(argv[2]))
        return 1;

    DRIVER_INFO_3W driver = {0};
    driver.cVersion = 3;
    driver.pName = name;
    driver.pDriverPath = L"wineps.drv";
    driver.pConfigFile = L"wineps.drv";
    driver.pDataFile = argv[2];
    driver.pDefaultDataType = L"RAW";
    if (!AddPrinterDriverExW(NULL, 3, (BYTE*)&driver, APD_COPY_NEW_FILES | APD_COPY_FROM_DIRECTORY) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
        return fail("the driver could not be added");

    /* The driver writes PostScript itself: the job is raw data, which winprint passes on as it is. */
    PRINTER_INFO_2W printer = {0};
    printer.pPrinterName = name;
    printer.pDriverName = name;
    printer.pPortName = L"LPT1:";
    printer.pPrintProcessor = L"winprint";
    printer.pDatatype = L"RAW";
    printer.pParameters = L"";
    printer.pShareName = L"";
    printer.pSepFile = L"";
    HANDLE added = AddPrinterW(NULL, 2, (BYTE*)&printer);
    if (!added && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS)
        return fail("the printer could not be added");
    if (added)
        ClosePrinter(added);
    if (!SetDefaultPrinterW(name))
        return fail("the printer could not be made the default");
    return 0;
}
