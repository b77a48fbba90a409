#pragma once

#include <QByteArray>
#include <QString>

// Two fixed certificates for tests without an engine, with their SHA-256 fingerprints
// as openssl prints them. Both are valid from 2026-12-07 13:09 to 2036-12-04 13:09 UTC.
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

} // namespace orbisk::test
