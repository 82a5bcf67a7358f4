/*
 * The C interface of the upload library "libQUpload.so".
 *
 * The program loads the library lazily with dlopen() and resolves the four
 * entry points below by name (see src/upload/Uploadiface.h). All texts are
 * UTF-8. Lists are NULL-terminated arrays of texts. A window handle is the
 * caller's QWidget* (or NULL); the library may use it as the parent of its
 * own dialogs and must not keep it after the call returns.
 *
 * Every entry point is called on the caller's user-interface thread and
 * returns only when the library is done. The library's windows run event
 * loops; a call made from inside one of them while CheckForUpdate,
 * PromptForProxySettings or UploadImagesToServer runs returns at once
 * (CheckForUpdate 0, UploadImagesToServer QUPLOAD_ERR_INTERNAL, the prompt
 * nothing). DownloadInternetFile shows no window and is never refused.
 */
#ifndef QUPLOAD_API_H
#define QUPLOAD_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define QUPLOAD_EXPORT __attribute__((visibility("default")))
#else
#define QUPLOAD_EXPORT
#endif

/* The library's file name, as the program loads it (beside the executable). */
#define QUPLOAD_LIBRARY_NAME "libQUpload.so"

/* Result codes of UploadImagesToServer. A result greater than 0 is the number
 * of pictures the service accepted, given only when the run went through every
 * file (a picture the service refused is reported to the user by name and
 * reason, and not counted). 0 means the user cancelled (the sign-in or the
 * upload); pictures that reached the frame before a cancel or a failure stay
 * there, and the service stores a repeated picture only once, so the caller
 * can simply send the whole list again. The library tells the user about
 * every failure itself, once, before it returns, except an empty list (-1),
 * bad arguments (-7) and internal failures (-8, written to standard error). */
#define QUPLOAD_ERR_CANCELLED 0
#define QUPLOAD_ERR_NO_FILES (-1)      /* the list was empty or no file could be read */
#define QUPLOAD_ERR_SIGN_IN (-2)       /* the user could not be signed in */
#define QUPLOAD_ERR_NETWORK (-3)       /* the service could not be reached */
#define QUPLOAD_ERR_REJECTED (-4)      /* the service refused every picture */
#define QUPLOAD_ERR_SERVER (-5)        /* the service answered with an error */
#define QUPLOAD_ERR_CONFIG (-6)        /* no usable service address */
#define QUPLOAD_ERR_BAD_ARGUMENTS (-7) /* lists of different lengths, bad sizes */
#define QUPLOAD_ERR_INTERNAL (-8)      /* anything else */
/* -9 (0xFFF7) is reserved for the program itself: the library could not be loaded. */
#define QUPLOAD_ERR_NOT_LOADED (-9)

/* CheckForUpdate's result when the user chose to install an update that
 * requires the program to end. */
#define QUPLOAD_UPDATE_MUST_EXIT 9

/* Asks the service for the newest version of the program. Interactive (non-zero):
 * tells the user the program is up to date or offers the new version.
 * Non-interactive: silent unless an update exists. Installing opens the
 * update's address on the desktop. Returns 0 (up to date, or declined), 1 (the
 * update was opened and the program may go on), QUPLOAD_UPDATE_MUST_EXIT, or
 * QUPLOAD_ERR_NETWORK / QUPLOAD_ERR_SERVER / QUPLOAD_ERR_CONFIG. */
typedef int16_t (*QUploadCheckForUpdateFn)(void* parentWindow, const char* programName,
                                           const char* version, int32_t interactive);
QUPLOAD_EXPORT int16_t CheckForUpdate(void* parentWindow, const char* programName,
                                      const char* version, int32_t interactive);

/* Shows the proxy settings dialog; the settings are used by every transfer. */
typedef void (*QUploadPromptForProxySettingsFn)(void* parentWindow);
QUPLOAD_EXPORT void PromptForProxySettings(void* parentWindow);

/* Uploads the prepared files, one by one, with the library's own progress
 * window. The ten arguments, in order: the caller's window; the program name;
 * the program's file version; the operation ("upload"); the progress window's
 * title ("Upload Images to Palvo"); the prepared file paths; two reserved
 * values (0, 0); the widths and the heights of the files as decimal texts, one
 * per file in the order of the paths. Returns only when the library is done
 * with the files (the caller deletes them right after). */
typedef int16_t (*QUploadUploadImagesToServerFn)(void* parentWindow, const char* programName,
                                                 const char* version, const char* operation,
                                                 const char* title, const char* const* files,
                                                 int32_t reserved1, int32_t reserved2,
                                                 const char* const* widths,
                                                 const char* const* heights);
QUPLOAD_EXPORT int16_t UploadImagesToServer(void* parentWindow, const char* programName,
                                            const char* version, const char* operation,
                                            const char* title, const char* const* files,
                                            int32_t reserved1, int32_t reserved2,
                                            const char* const* widths, const char* const* heights);

/* Fetches one http(s) address to the local target path. Non-zero only when the
 * whole file arrived; the target is then complete, never partial. */
typedef int32_t (*QUploadDownloadInternetFileFn)(void* parentWindow, const char* address,
                                                 const char* targetPath);
QUPLOAD_EXPORT int32_t DownloadInternetFile(void* parentWindow, const char* address,
                                            const char* targetPath);

#ifdef __cplusplus
}
#endif

#endif
