# The site's two host names are compiled into the link constants. They are build options so that a
# build can point at another deployment of the site; the defaults are reserved test names.
set(QMZ_SITE_HOST "site.test" CACHE STRING "Host of the video site's pages (used bare and with www.)")
set(QMZ_MEDIA_HOST "media.site.test" CACHE STRING "Host that serves the site's video files")

include(HostNameCheck)

qmz_check_host(QMZ_SITE_HOST "${QMZ_SITE_HOST}")
qmz_check_host(QMZ_MEDIA_HOST "${QMZ_MEDIA_HOST}")
