#pragma once

#include <QByteArray>
#include <QString>

// Fixed certificates for tests without an engine. The first two, with their SHA-256
// fingerprints as openssl prints them, are valid from 2026-12-07 13:09 to 2036-12-04
// 13:09 UTC.
namespace orbisk::test {

// Self-signed, O=Orbisk tests, CN=self.example.
inline const QByteArray kSelfSignedPem = "-----BEGIN CERTIFICATE-----\n"
                                         "MIIBnTCCAUSgAwIBAgIBBzAKBggqhkjOPQQDAjAuMRUwEwYDVQQKDAxPcmJpc2sg\n"
                                         "dGVzdHMxFTATBgNVBAMMDHNlbGYuZXhhbXBsZTAeFw0yNjEyMDcxMzA5MjJaFw0z\n"
                                         "NjEyMDQxMzA5MjJaMC4xFTATBgNVBAoMDE9yYmlzayB0ZXN0czEVMBMGA1UEAwwM\n"
                                         "c2VsZi5leGFtcGxlMFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAECKqonnXygict\n"
                                         "EwahdnGJtRkCt77LgzQZWWL1M88Yfz7eZgfiOgEUz2coSu4QXPPPuGFw9J9kKq5a\n"
                                         "ViF8JXhR36NTMFEwHQYDVR0OBBYEFFNqpa+wJrqV+g1adI/Lxu4wtSrkMB8GA1Ud\n"
                                         "IwQYMBaAFFNqpa+wJrqV+g1adI/Lxu4wtSrkMA8GA1UdEwEB/wQFMAMBAf8wCgYI\n"
                                         "KoZIzj0EAwIDRwAwRAIgdGFYLZ7bXerEQazV/iVLeV3QPykNYf3JUeyPKUsS+n0C\n"
                                         "IBRO3YYiUM8kGO0BS7Zm1tBtix6b3OsYDgKWSdP6kMGJ\n"
                                         "-----END CERTIFICATE-----\n";
inline const QString kSelfSignedFingerprint
    = QStringLiteral("C0:2B:49:6E:13:13:1C:FC:58:22:96:01:D1:4D:64:5F:7A:8F:C5:D4:A0:67:E8:68:47:B3:F2:9E:10:E5:79:22");

// CN=leaf.example, issued by O=Orbisk tests, CN=Test Authority.
inline const QByteArray kIssuedPem = "-----BEGIN CERTIFICATE-----\n"
                                     "MIIBLjCB1QIBCTAKBggqhkjOPQQDAjAwMRUwEwYDVQQKDAxPcmJpc2sgdGVzdHMx\n"
                                     "FzAVBgNVBAMMDlRlc3QgQXV0aG9yaXR5MB4XDTI2MTIwNzEzMDkyM1oXDTM2MTIw\n"
                                     "NDEzMDkyM1owFzEVMBMGA1UEAwwMbGVhZi5leGFtcGxlMFkwEwYHKoZIzj0CAQYI\n"
                                     "KoZIzj0DAQcDQgAEGnX96zZ0i0sSIxPOC+ZOWpBfkZXr5ilvawOmQUZKdDpnc7U4\n"
                                     "1sSEpzeSnsNLKQzD43OJKgeaZ59C1iPg3UTrtzAKBggqhkjOPQQDAgNIADBFAiEA\n"
                                     "m4eypGhoeeHGooMlK6NKzAjhppKX9ql4UH+oECZtnAUCIGh14rbnL0/x+6MSgRSI\n"
                                     "xciERLKktoAVCncOJ673Ed28\n"
                                     "-----END CERTIFICATE-----\n";
inline const QString kIssuedFingerprint
    = QStringLiteral("20:95:4C:5C:99:74:62:81:7B:AE:B2:AC:41:A7:69:E1:EA:5B:47:BD:DB:D3:5F:2A:43:39:BC:AE:C5:8D:18:16");

// A small authority tree and its look-alike, all EC P-256, valid from 2026-12-08 00:37
// to 2036-12-05 00:37 UTC.

// Self-signed certificate authority, O=Orbisk tests, CN=Managed Authority.
inline const QByteArray kManagedAuthorityPem = "-----BEGIN CERTIFICATE-----\n"
                                               "MIIBuTCCAV6gAwIBAgIBCzAKBggqhkjOPQQDAjAzMRUwEwYDVQQKDAxPcmJpc2sg\n"
                                               "dGVzdHMxGjAYBgNVBAMMEU1hbmFnZWQgQXV0aG9yaXR5MB4XDTI2MTIwODAwMzcy\n"
                                               "MVoXDTM2MTIwNTAwMzcyMVowMzEVMBMGA1UECgwMT3JiaXNrIHRlc3RzMRowGAYD\n"
                                               "VQQDDBFNYW5hZ2VkIEF1dGhvcml0eTBZMBMGByqGSM49AgEGCCqGSM49AwEHA0IA\n"
                                               "BDxfu4tEpyny4ZV35L5/rXK0T+IUDGOtYOzuSYibrYclqRisK33n4SvcfMZmO2Yf\n"
                                               "SD99sQEWWW/EI5bh7wo0EfujYzBhMB0GA1UdDgQWBBS3duFH9KlVR3t0yfME8TPU\n"
                                               "AjqeEjAfBgNVHSMEGDAWgBS3duFH9KlVR3t0yfME8TPUAjqeEjAPBgNVHRMBAf8E\n"
                                               "BTADAQH/MA4GA1UdDwEB/wQEAwICBDAKBggqhkjOPQQDAgNJADBGAiEAuz82w6OM\n"
                                               "LWPRElMVCymRjmhy+N1HM1baI2SomAiJaAECIQC5pFyrgagILjYikKJBRj/4Mx1i\n"
                                               "loI+Hq3cnia14LY4xA==\n"
                                               "-----END CERTIFICATE-----\n";
// Self-signed with the same name as kManagedAuthorityPem and another key.
inline const QByteArray kImpostorAuthorityPem = "-----BEGIN CERTIFICATE-----\n"
                                                "MIIBuDCCAV6gAwIBAgIBDDAKBggqhkjOPQQDAjAzMRUwEwYDVQQKDAxPcmJpc2sg\n"
                                                "dGVzdHMxGjAYBgNVBAMMEU1hbmFnZWQgQXV0aG9yaXR5MB4XDTI2MTIwODAwMzcy\n"
                                                "MVoXDTM2MTIwNTAwMzcyMVowMzEVMBMGA1UECgwMT3JiaXNrIHRlc3RzMRowGAYD\n"
                                                "VQQDDBFNYW5hZ2VkIEF1dGhvcml0eTBZMBMGByqGSM49AgEGCCqGSM49AwEHA0IA\n"
                                                "BPmQVyTpdnG+tUoMjQBbmIXysr06/u39p2S4VKrV7sLwNGRb36BXOpou5Ay5BzLk\n"
                                                "kkB7RtRulPLjCuIjXM+hiF+jYzBhMB0GA1UdDgQWBBTpEJfBEyWPuN0s6cMfidc3\n"
                                                "p/KrGzAfBgNVHSMEGDAWgBTpEJfBEyWPuN0s6cMfidc3p/KrGzAPBgNVHRMBAf8E\n"
                                                "BTADAQH/MA4GA1UdDwEB/wQEAwICBDAKBggqhkjOPQQDAgNIADBFAiAZCAyhjO3d\n"
                                                "vm8WePuaO+7sYs2abH/Bx2Ebdynv1968hQIhAJ2ixCbedMIX0Xjr7R+h/A7aVzSd\n"
                                                "HC6IS2gdVj9sQzox\n"
                                                "-----END CERTIFICATE-----\n";
// CN=Managed Issuing Authority, a certificate authority that kManagedAuthorityPem issued.
inline const QByteArray kIssuingAuthorityPem = "-----BEGIN CERTIFICATE-----\n"
                                               "MIIBozCCAUigAwIBAgIBDTAKBggqhkjOPQQDAjAzMRUwEwYDVQQKDAxPcmJpc2sg\n"
                                               "dGVzdHMxGjAYBgNVBAMMEU1hbmFnZWQgQXV0aG9yaXR5MB4XDTI2MTIwODAwMzcy\n"
                                               "MVoXDTM2MTIwNTAwMzcyMVowOzEVMBMGA1UECgwMT3JiaXNrIHRlc3RzMSIwIAYD\n"
                                               "VQQDDBlNYW5hZ2VkIElzc3VpbmcgQXV0aG9yaXR5MFkwEwYHKoZIzj0CAQYIKoZI\n"
                                               "zj0DAQcDQgAEOltnVO9oLcebKEBBEH22ukc+FuxyQKMV7F/2AeUCGE8NMM/NMBLF\n"
                                               "TjYVBp4difW3QtvuXR/GpeMpX+yYMk/RcqNFMEMwEgYDVR0TAQH/BAgwBgEB/wIB\n"
                                               "ADAOBgNVHQ8BAf8EBAMCAgQwHQYDVR0OBBYEFMnGch/YEnpX3484YzSLYS/Y0cS/\n"
                                               "MAoGCCqGSM49BAMCA0kAMEYCIQDNrI9+pvYMPqR69EIvRriVzBnxIzdF6YT1ITL6\n"
                                               "cMVX+gIhAOOnXBOmT/nQXB/CATdIgvL62dwmlypw1DEfZOQ9taPd\n"
                                               "-----END CERTIFICATE-----\n";
// For files.example (its only subject alternative name), issued by kManagedAuthorityPem.
inline const QByteArray kManagedLeafPem = "-----BEGIN CERTIFICATE-----\n"
                                          "MIIBeTCCAR+gAwIBAgIBDjAKBggqhkjOPQQDAjAzMRUwEwYDVQQKDAxPcmJpc2sg\n"
                                          "dGVzdHMxGjAYBgNVBAMMEU1hbmFnZWQgQXV0aG9yaXR5MB4XDTI2MTIwODAwMzcy\n"
                                          "MVoXDTM2MTIwNTAwMzcyMVowGDEWMBQGA1UEAwwNZmlsZXMuZXhhbXBsZTBZMBMG\n"
                                          "ByqGSM49AgEGCCqGSM49AwEHA0IABNC3NAVZuK+njGcMj19N/36nQs1rfKftWpO2\n"
                                          "K3Qhmi1hB0udB+4r14L5Ji9NznzV9nXAXIAusX4Oi4q7A4TntKGjPzA9MBgGA1Ud\n"
                                          "EQQRMA+CDWZpbGVzLmV4YW1wbGUwDAYDVR0TAQH/BAIwADATBgNVHSUEDDAKBggr\n"
                                          "BgEFBQcDATAKBggqhkjOPQQDAgNIADBFAiEA8UBD5voNRZq31vSl2b4uKu2r8dn1\n"
                                          "lK4o3DJRO/nqPnUCIFugDbkTn+2TmD+Yc6RBraHw6gkWCsOV6oDhHygQYM8H\n"
                                          "-----END CERTIFICATE-----\n";
// For files.example, issued by kIssuingAuthorityPem.
inline const QByteArray kIssuedLeafPem = "-----BEGIN CERTIFICATE-----\n"
                                         "MIIBgTCCASegAwIBAgIBDzAKBggqhkjOPQQDAjA7MRUwEwYDVQQKDAxPcmJpc2sg\n"
                                         "dGVzdHMxIjAgBgNVBAMMGU1hbmFnZWQgSXNzdWluZyBBdXRob3JpdHkwHhcNMjYx\n"
                                         "MjA4MDAzNzIxWhcNMzYxMjA1MDAzNzIxWjAYMRYwFAYDVQQDDA1maWxlcy5leGFt\n"
                                         "cGxlMFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE3Vs2lvvIUPgGUvXqbhs+Nanf\n"
                                         "4/mkNRzLEVmsXNUtJolzgxlJvTjofhRLi2HnEgiTLzub95bkYvuGuggPpCSLoaM/\n"
                                         "MD0wGAYDVR0RBBEwD4INZmlsZXMuZXhhbXBsZTAMBgNVHRMBAf8EAjAAMBMGA1Ud\n"
                                         "JQQMMAoGCCsGAQUFBwMBMAoGCCqGSM49BAMCA0gAMEUCIEfg3NIxrTA+QrpcVD6r\n"
                                         "kHJQkJwvpFC9eDdXAvf9xwEeAiEAh52z4zJ0CX6MBvS3DqnNeL5V4xRhfMBgAg8x\n"
                                         "xMKFXZ8=\n"
                                         "-----END CERTIFICATE-----\n";
// For files.example, issued by kImpostorAuthorityPem: it names kManagedAuthorityPem's
// subject as its issuer and has no authority key identifier, so only its signature tells.
inline const QByteArray kForgedLeafPem = "-----BEGIN CERTIFICATE-----\n"
                                         "MIIBejCCAR+gAwIBAgIBEDAKBggqhkjOPQQDAjAzMRUwEwYDVQQKDAxPcmJpc2sg\n"
                                         "dGVzdHMxGjAYBgNVBAMMEU1hbmFnZWQgQXV0aG9yaXR5MB4XDTI2MTIwODAwMzcy\n"
                                         "MVoXDTM2MTIwNTAwMzcyMVowGDEWMBQGA1UEAwwNZmlsZXMuZXhhbXBsZTBZMBMG\n"
                                         "ByqGSM49AgEGCCqGSM49AwEHA0IABOMGjox2uCPaSNGJMh9b5ryNwIOvNq8ObSyf\n"
                                         "O9qRYA4zWEJQD2u0woKEtDoNHb5TS36RzdrgxMShR/oOWFsKTJ6jPzA9MBgGA1Ud\n"
                                         "EQQRMA+CDWZpbGVzLmV4YW1wbGUwDAYDVR0TAQH/BAIwADATBgNVHSUEDDAKBggr\n"
                                         "BgEFBQcDATAKBggqhkjOPQQDAgNJADBGAiEA96zA/NwnNMD5yv02+njzd0l9KOGx\n"
                                         "buB8LD0yTSSoXL0CIQCT8yBJbWxRGJ6pveoFDKwC7npaOf6MLmu71dER/fnUHg==\n"
                                         "-----END CERTIFICATE-----\n";

} // namespace orbisk::test
