/*
 * VXPA_ADYEN_10: the host-facing interface of the payment-terminal driver module.
 *
 * A point-of-sale host loads the module (VXPA_ADYEN_10.dll on Windows, VXPA_ADYEN_10.so on Linux)
 * and calls nine functions. Eight commands take an XML request document and answer a result
 * document, an error text and a result code; VERSION answers the version text of a driver.
 *
 * Strings are BSTRs: UTF-16 text preceded by its length in bytes (32 bits) and followed by a 16-bit
 * NUL, the pointer addressing the first code unit. On Windows they come from oleaut32; on Linux the
 * module exports its own allocator (below). Every string the module returns is newly allocated and
 * the caller frees it with SysFreeString; the strings the caller passes stay the caller's.
 *
 * The host makes one call at a time for the whole module.
 */
#ifndef VXPA_H
#define VXPA_H

#include <stdint.h>

#if defined(_WIN32)
#include <windows.h>
#include <oleauto.h> /* BSTR, SysAllocString, SysFreeString, SysStringLen (oleaut32) */
#define VXPA_CALL __stdcall
/* Exported by name and ordinal through the module's .def file, undecorated. */
#define VXPA_EXPORT
#else
#if !defined(__cplusplus)
#include <uchar.h> /* char16_t */
#endif
#define VXPA_CALL
#define VXPA_EXPORT __attribute__((visibility("default")))
typedef char16_t *BSTR;
#endif

/*
 * The result code of every export. The module returns a 32-bit integer whose low 16 bits hold the
 * signed 16-bit code and whose high 16 bits are zero: 0 on success, 65535 on failure, which is -1
 * for a host that declares the function as returning a 16-bit integer.
 */
typedef int32_t vxpa_result;
#define VXPA_OK 0
#define VXPA_FAILED 0xFFFF
#define VXPA_CODE(aResult) ((int16_t)(uint16_t)(aResult)) /* 0 or -1 */

#ifdef __cplusplus
extern "C" {
#endif

/*
 * The eight commands. aXml: the request document (a null BSTR is an empty request).
 * aOutput and aErrorMessage: addresses of BSTR variables; each is set to null on entry (what it held
 * is not freed) and receives, on return, the result document and the plain error text (null when
 * there is no error text). A null address is not written through.
 */
VXPA_EXPORT vxpa_result VXPA_CALL PAY(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);
VXPA_EXPORT vxpa_result VXPA_CALL REPRINT(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);
VXPA_EXPORT vxpa_result VXPA_CALL OPEN(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);
VXPA_EXPORT vxpa_result VXPA_CALL GETSTATUS(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);
VXPA_EXPORT vxpa_result VXPA_CALL DAYCLOSE(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);
VXPA_EXPORT vxpa_result VXPA_CALL GETTOTALS(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);
VXPA_EXPORT vxpa_result VXPA_CALL CLOSE(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);
VXPA_EXPORT vxpa_result VXPA_CALL VERIFYTRAN(BSTR aXml, BSTR *aOutput, BSTR *aErrorMessage);

/*
 * The version text of the driver named aDriver (exact, case-sensitive) into *aVersion; *aVersion
 * stays null for a driver that is not registered. aReserved is cleared and never written.
 * Always answers VXPA_OK.
 */
VXPA_EXPORT vxpa_result VXPA_CALL VERSION(BSTR aDriver, BSTR *aVersion, BSTR *aReserved);

/* The signature shared by the nine exports, for hosts that resolve them at run time. */
typedef vxpa_result(VXPA_CALL *vxpa_export_fn)(BSTR, BSTR *, BSTR *);

#if !defined(_WIN32)
/* The module's BSTR functions, with the semantics of their oleaut32 namesakes. */
VXPA_EXPORT BSTR SysAllocString(const char16_t *aText);         /* null for a null aText */
VXPA_EXPORT BSTR SysAllocStringLen(const char16_t *aText, uint32_t aUnits); /* aText may be null */
VXPA_EXPORT void SysFreeString(BSTR aValue);                     /* null is ignored */
VXPA_EXPORT uint32_t SysStringLen(BSTR aValue);                  /* code units; 0 for null */
VXPA_EXPORT uint32_t SysStringByteLen(BSTR aValue);              /* bytes; 0 for null */
#endif

#ifdef __cplusplus
}
#endif

#endif /* VXPA_H */
