#include "text/system_reason.h"

#include <cerrno>

namespace obturix {

// Not strerror: it speaks the locale's language, English under C.
std::string systemReason(long error) {
  switch (error) {
  case ENOENT:
    return "fichier ou périphérique introuvable";
  case ENXIO:
  case ENODEV:
    return "périphérique absent";
  case EACCES:
  case EPERM:
    return "accès refusé";
  case EBUSY:
    return "périphérique occupé";
  case EIO:
    return "erreur d'entrée-sortie";
  case ENOSPC:
    return "plus de place sur le disque";
  case EROFS:
    return "système de fichiers en lecture seule";
  case EDQUOT:
    return "quota de disque dépassé";
  case EFBIG:
    return "fichier trop grand";
  case EMFILE:
  case ENFILE:
    return "trop de fichiers ouverts";
  case ENOMEM:
    return "mémoire insuffisante";
  case ELOOP:
    return "lien symbolique inattendu";
  case ENAMETOOLONG:
    return "nom trop long";
  case ENOTDIR:
    return "un élément du chemin n'est pas un dossier";
  case EEXIST:
    return "quelque chose d'autre porte déjà ce nom";
  case EISDIR:
    return "c'est un dossier";
  case ENOTTY:
    return "ce n'est pas un terminal";
  case EAGAIN:
    return "ressource momentanément indisponible";
  case EINTR:
    return "opération interrompue";
  case EINVAL:
    return "opération refusée par le pilote";
  case ENOTCONN: // a network or FUSE file system whose server went away
  case ECONNABORTED:
    return "le disque ou son serveur n'est plus connecté";
  case ESTALE:
    return "le fichier a disparu du serveur qui le partageait";
  case ETIMEDOUT:
    return "le disque ou son serveur ne répond plus";
  default:
    return "erreur du système (n° " + std::to_string(error) + ")";
  }
}

} // namespace obturix
