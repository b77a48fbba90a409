<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<dependencies>
<dependency catalog="qtbase_uk"/>
<dependency catalog="qtscript_uk"/>
<dependency catalog="qtquick1_uk"/>
<dependency catalog="qtmultimedia_uk"/>
<dependency catalog="qtxmlpatterns_uk"/>
</dependencies>
</TS>
