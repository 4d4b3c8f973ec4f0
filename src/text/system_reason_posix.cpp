#include "text/system_reason.h"

#include <cerrno>
#include <utility>

namespace obturix {

namespace {

// Not strerror: it speaks the locale's language, English under C.
constexpr std::pair<long, const char*> reasons[] = {
    {ENOENT, "fichier ou périphérique introuvable"},
    {ENXIO, "périphérique absent"},
    {ENODEV, "périphérique absent"},
    {EACCES, "accès refusé"},
    {EPERM, "accès refusé"},
    {EBUSY, "périphérique occupé"},
    {EIO, "erreur d'entrée-sortie"},
    {ENOSPC, "plus de place sur le disque"},
    {EROFS, "système de fichiers en lecture seule"},
    {EDQUOT, "quota de disque dépassé"},
    {EFBIG, "fichier trop grand"},
    {EMFILE, "trop de fichiers ouverts"},
    {ENFILE, "trop de fichiers ouverts"},
    {ENOMEM, "mémoire insuffisante"},
    {ELOOP, "lien symbolique inattendu"},
    {ENAMETOOLONG, "nom trop long"},
    {ENOTDIR, "un élément du chemin n'est pas un dossier"},
    {EEXIST, "quelque chose d'autre porte déjà ce nom"},
    {EISDIR, "c'est un dossier"},
    {ENOTTY, "ce n'est pas un terminal"},
    {EAGAIN, "ressource momentanément indisponible"},
    {EINTR, "opération interrompue"},
    {EINVAL, "opération refusée par le pilote"},
    // A network or FUSE file system whose server went away.
    {ENOTCONN, "le disque ou son serveur n'est plus connecté"},
    {ECONNABORTED, "le disque ou son serveur n'est plus connecté"},
    {ESTALE, "le fichier a disparu du serveur qui le partageait"},
    {ETIMEDOUT, "le disque ou son serveur ne répond plus"},
};

} // namespace

std::string systemReason(long error) {
  for (const auto& [code, words] : reasons)
    if (code == error)
      return words;
  return "erreur du système (n° " + std::to_string(error) + ")";
}

} // namespace obturix
