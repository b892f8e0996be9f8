<?xml version="1.0" encoding="UTF-8"?>
<!--
  Salary certificates (Lohnausweis, form 11) from a salary declaration document.

  One A4 page per staff block. Elements are matched by their local name only: the namespace base of
  the declaration is chosen by the program that writes the document, and the style sheet must work
  with any base. XSLT 1.0, so that the XSLT processor that comes with FOP/the Java runtime runs it.

  Amounts print with the Swiss thousands separator (106'800) and otherwise exactly as the document gives
  them: the decimals as they are, anything that is not a number unchanged (only surrounding blanks are
  dropped; the database delivers fixed-width texts with trailing blanks). Dates arrive as yyyy-mm-dd
  and print as dd.mm.yyyy. Every text from the database is fitted into its box (see "fit").

  The fonts are those that fop/fop.xconf embeds: Liberation Sans for all text, DejaVu Sans for the
  check-box glyphs and any character that Liberation Sans lacks.
-->
<xsl:stylesheet version="1.0"
                xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:fo="http://www.w3.org/1999/XSL/Format">

  <xsl:output method="xml" encoding="UTF-8" indent="no"/>

  <xsl:variable name="text-font">Liberation Sans, DejaVu Sans</xsl:variable>
  <xsl:variable name="mark-font">DejaVu Sans, Liberation Sans</xsl:variable>
  <xsl:variable name="rule-colour">#9a9a9a</xsl:variable>
  <xsl:variable name="field-colour">#f1f1f1</xsl:variable>
  <xsl:variable name="total-colour">#e1e1e1</xsl:variable>
  <xsl:variable name="label-colour">#303030</xsl:variable>


  <xsl:template match="/">
    <xsl:variable name="staff" select="//*[local-name()='Staff']"/>
    <xsl:if test="not($staff)">
      <xsl:message terminate="yes">Das Dokument enthält keinen Lohnausweis (kein Element Staff).</xsl:message>
    </xsl:if>
    <fo:root font-family="{$text-font}" font-size="8.5pt" language="de" country="CH" color="#000000">
      <fo:layout-master-set>
        <fo:simple-page-master master-name="certificate" page-height="297mm" page-width="210mm"
                               margin-top="10mm" margin-bottom="7mm" margin-left="15mm" margin-right="11mm">
          <fo:region-body margin-bottom="33mm"/>
          <fo:region-after extent="31mm"/>
        </fo:simple-page-master>
      </fo:layout-master-set>
      <xsl:call-template name="metadata"/>
      <xsl:apply-templates select="$staff"/>
    </fo:root>
  </xsl:template>

  <!-- Title and author of the PDF, shown by viewers in place of the temporary file's name. -->
  <xsl:template name="metadata">
    <xsl:variable name="general" select="(//*[local-name()='GeneralSalaryDeclarationDescription'])[1]"/>
    <xsl:variable name="company" select="(//*[local-name()='CompanyDescription'])[1]"/>
    <xsl:variable name="name" select="normalize-space($company/*[local-name()='Name']/*[local-name()='HR-RC-Name'])"/>
    <fo:declarations>
      <x:xmpmeta xmlns:x="adobe:ns:meta/">
        <rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
          <rdf:Description rdf:about="" xmlns:dc="http://purl.org/dc/elements/1.1/">
            <dc:title>
              <xsl:text>Lohnausweise </xsl:text>
              <xsl:value-of select="normalize-space($general/*[local-name()='AccountingPeriod'])"/>
              <xsl:if test="$name != ''">
                <xsl:text> – </xsl:text>
                <xsl:value-of select="$name"/>
              </xsl:if>
            </dc:title>
            <xsl:if test="$name != ''">
              <dc:creator><xsl:value-of select="$name"/></dc:creator>
            </xsl:if>
          </rdf:Description>
        </rdf:RDF>
      </x:xmpmeta>
    </fo:declarations>
  </xsl:template>

  <!-- ============================================================ one certificate -->
  <xsl:template match="*[local-name()='Staff']">
    <xsl:variable name="person" select="*[local-name()='Person']"/>
    <xsl:variable name="particulars" select="$person/*[local-name()='Particulars']"/>
    <xsl:variable name="salaries" select="$person/*[local-name()='TaxSalaries']"/>
    <xsl:variable name="kind" select="$salaries/*[local-name()='TaxSalary' or local-name()='TaxAnnuity']"/>
    <!-- Without TaxSalary/TaxAnnuity the period and the amounts stand directly in TaxSalaries. -->
    <xsl:variable name="cert" select="$kind | $salaries[not($kind)]"/>
    <xsl:variable name="company" select="ancestor::*[local-name()='Company'][1]/*[local-name()='CompanyDescription']"/>
    <xsl:variable name="general" select="(//*[local-name()='GeneralSalaryDeclarationDescription'])[1]"/>

    <fo:page-sequence master-reference="certificate">
      <fo:static-content flow-name="xsl-region-after">
        <xsl:call-template name="employer">
          <xsl:with-param name="company" select="$company"/>
          <xsl:with-param name="general" select="$general"/>
        </xsl:call-template>
      </fo:static-content>
      <fo:flow flow-name="xsl-region-body">
        <xsl:call-template name="title"/>
        <xsl:call-template name="head">
          <xsl:with-param name="particulars" select="$particulars"/>
          <xsl:with-param name="kind" select="$kind"/>
          <xsl:with-param name="cert" select="$cert"/>
          <xsl:with-param name="general" select="$general"/>
        </xsl:call-template>
        <xsl:call-template name="address">
          <xsl:with-param name="particulars" select="$particulars"/>
        </xsl:call-template>
        <xsl:call-template name="items">
          <xsl:with-param name="c" select="$cert"/>
        </xsl:call-template>
      </fo:flow>
    </fo:page-sequence>
  </xsl:template>

  <!-- ============================================================ title -->
  <xsl:template name="title">
    <fo:block-container height="9mm" border-bottom="1.2pt solid #000000">
      <fo:block font-size="17pt" font-weight="bold" line-height="1.1" space-before="0.5mm">
        <xsl:text>Lohnausweis</xsl:text>
        <fo:inline font-size="10pt" font-weight="normal" color="{$label-colour}">
          <xsl:text>  –  Rentenbescheinigung</xsl:text>
        </fo:inline>
      </fo:block>
      <fo:block-container absolute-position="absolute" top="1.2mm" right="0mm" width="60mm">
        <fo:block text-align="end" font-size="7.5pt" color="{$label-colour}">Formular 11</fo:block>
      </fo:block-container>
    </fo:block-container>
  </xsl:template>

  <!-- ============================================================ boxes A to G -->
  <xsl:template name="head">
    <xsl:param name="particulars"/>
    <xsl:param name="kind"/>
    <xsl:param name="cert"/>
    <xsl:param name="general"/>
    <xsl:variable name="ids" select="$particulars/*[local-name()='Social-InsuranceIdentification']"/>
    <xsl:variable name="period" select="$cert/*[local-name()='Period']"/>

    <fo:table table-layout="fixed" width="100%" space-before="2.5mm" border-collapse="collapse">
      <fo:table-column column-width="44mm"/>
      <fo:table-column column-width="48mm"/>
      <fo:table-column column-width="24mm"/>
      <fo:table-column column-width="68mm"/>
      <fo:table-body>
        <fo:table-row>
          <fo:table-cell xsl:use-attribute-sets="head-cell" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">A</xsl:with-param>
              <xsl:with-param name="set" select="boolean($kind[local-name()='TaxSalary'])"/>
              <xsl:with-param name="label">Lohnausweis</xsl:with-param>
            </xsl:call-template>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">B</xsl:with-param>
              <xsl:with-param name="set" select="boolean($kind[local-name()='TaxAnnuity'])"/>
              <xsl:with-param name="label">Rentenbescheinigung</xsl:with-param>
            </xsl:call-template>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">D</xsl:with-param>
              <xsl:with-param name="label">Jahr</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($general/*[local-name()='AccountingPeriod'])"/>
                <xsl:with-param name="width" select="21"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">E</xsl:with-param>
              <xsl:with-param name="label">Periode</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <fo:inline xsl:use-attribute-sets="inline-label">von </fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text">
                  <xsl:call-template name="date">
                    <xsl:with-param name="value" select="normalize-space($period/*[local-name()='from'])"/>
                  </xsl:call-template>
                </xsl:with-param>
                <xsl:with-param name="width" select="25"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
              <fo:leader leader-pattern="space" leader-length="3mm"/>
              <fo:inline xsl:use-attribute-sets="inline-label">bis </fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text">
                  <xsl:call-template name="date">
                    <xsl:with-param name="value" select="normalize-space($period/*[local-name()='until'])"/>
                  </xsl:call-template>
                </xsl:with-param>
                <xsl:with-param name="width" select="25"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
        </fo:table-row>
        <fo:table-row>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">C</xsl:with-param>
              <xsl:with-param name="label">AHV-Nr.</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($ids/*[local-name()='AHV-AVS-Number'])"/>
                <xsl:with-param name="width" select="41"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell">
            <fo:block xsl:use-attribute-sets="caption">Neue AHV-Nr.</fo:block>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($ids/*[local-name()='SV-AS-Number'])"/>
                <xsl:with-param name="width" select="45"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell xsl:use-attribute-sets="head-cell" number-columns-spanned="2" display-align="center">
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">F</xsl:with-param>
              <xsl:with-param name="set" select="boolean($cert/*[local-name()='FreeTransport'])"/>
              <xsl:with-param name="label">Unentgeltliche Beförderung zwischen Wohn- und Arbeitsort</xsl:with-param>
            </xsl:call-template>
            <xsl:call-template name="check-line">
              <xsl:with-param name="letter">G</xsl:with-param>
              <xsl:with-param name="set" select="boolean($cert/*[local-name()='CanteenLunchCheck'])"/>
              <xsl:with-param name="label">Kantinenverpflegung / Lunch-Checks</xsl:with-param>
            </xsl:call-template>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-body>
    </fo:table>
  </xsl:template>

  <!-- ============================================================ box H -->
  <!--
    The address sits where a window envelope shows it: about 45 mm from the top edge of the page,
    22 mm from the left edge for a window on the left, 118 mm for a window on the right. The band
    keeps its height whatever the address, so that the items below do not move.
  -->
  <xsl:template name="address">
    <xsl:param name="particulars"/>
    <xsl:variable name="addr" select="$particulars/*[local-name()='Address']"/>
    <xsl:variable name="right" select="normalize-space($addr/*[local-name()='Aligmment']) = 'right'"/>
    <fo:table table-layout="fixed" width="100%">
      <fo:table-column column-width="95mm"/>
      <fo:table-column column-width="89mm"/>
      <fo:table-body>
        <fo:table-row height="32mm">
          <fo:table-cell padding-left="7mm" padding-top="5mm" padding-right="6mm">
            <xsl:if test="not($right)">
              <xsl:call-template name="address-lines">
                <xsl:with-param name="particulars" select="$particulars"/>
              </xsl:call-template>
            </xsl:if>
            <fo:block/>
          </fo:table-cell>
          <fo:table-cell padding-left="8mm" padding-top="5mm">
            <xsl:if test="$right">
              <xsl:call-template name="address-lines">
                <xsl:with-param name="particulars" select="$particulars"/>
              </xsl:call-template>
            </xsl:if>
            <fo:block/>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-body>
    </fo:table>
  </xsl:template>

  <xsl:template name="address-lines">
    <xsl:param name="particulars"/>
    <xsl:variable name="addr" select="$particulars/*[local-name()='Address']"/>
    <fo:block font-size="10pt" line-height="1.25">
      <fo:block>
        <xsl:call-template name="fit">
          <xsl:with-param name="text" select="normalize-space($particulars/*[local-name()='Name'])"/>
          <xsl:with-param name="width" select="80"/>
          <xsl:with-param name="lines" select="2"/>
          <xsl:with-param name="size" select="10"/>
          <xsl:with-param name="min" select="7"/>
        </xsl:call-template>
      </fo:block>
      <fo:block>
        <xsl:call-template name="fit">
          <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='Street'])"/>
          <xsl:with-param name="width" select="80"/>
          <xsl:with-param name="lines" select="2"/>
          <xsl:with-param name="size" select="10"/>
          <xsl:with-param name="min" select="7"/>
        </xsl:call-template>
      </fo:block>
      <fo:block>
        <xsl:call-template name="fit">
          <xsl:with-param name="text" select="normalize-space(concat($addr/*[local-name()='ZIP-Code'], ' ', $addr/*[local-name()='City']))"/>
          <xsl:with-param name="width" select="80"/>
          <xsl:with-param name="lines" select="2"/>
          <xsl:with-param name="size" select="10"/>
          <xsl:with-param name="min" select="7"/>
        </xsl:call-template>
      </fo:block>
    </fo:block>
  </xsl:template>

  <!-- ============================================================ items 1 to 15 -->
  <xsl:template name="items">
    <xsl:param name="c"/>
    <xsl:variable name="fringe" select="$c/*[local-name()='FringeBenefits']"/>
    <xsl:variable name="bvg" select="$c/*[local-name()='BVG-LPP-Contribution']"/>
    <xsl:variable name="charges" select="$c/*[local-name()='Charges']"/>
    <xsl:variable name="effective" select="$charges/*[local-name()='Effective']"/>
    <xsl:variable name="lumpsum" select="$charges/*[local-name()='LumpSum']"/>

    <!-- One fixed line height for labels, texts, amounts and check marks of different sizes, so that
         label and amount of an item stand on one base line. -->
    <fo:table table-layout="fixed" width="100%" border-collapse="collapse" space-before="1mm" line-height="10.5pt">
      <fo:table-column column-width="11mm"/>
      <fo:table-column column-width="137mm"/>
      <fo:table-column column-width="5mm"/>
      <fo:table-column column-width="31mm"/>
      <fo:table-header>
        <fo:table-row>
          <fo:table-cell number-columns-spanned="3" border-bottom="0.8pt solid #000000" padding-bottom="0.6mm">
            <fo:block font-size="7pt" color="{$label-colour}">Ziffer</fo:block>
          </fo:table-cell>
          <fo:table-cell border-bottom="0.8pt solid #000000" padding-bottom="0.6mm" padding-right="1.5mm">
            <fo:block font-size="7pt" font-weight="bold" text-align="end">CHF</fo:block>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-header>
      <fo:table-body>
        <xsl:call-template name="item">
          <xsl:with-param name="num">1.</xsl:with-param>
          <xsl:with-param name="label">Lohn soweit nicht unter Ziffer 2–7 aufzuführen / Rente</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='Income']"/>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">2.</xsl:with-param>
          <xsl:with-param name="label">Gehaltsnebenleistungen</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">2.1</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Verpflegung, Unterkunft</xsl:with-param>
          <xsl:with-param name="amount" select="$fringe/*[local-name()='FoodLodging']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">2.2</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Privatanteil Geschäftsfahrzeug</xsl:with-param>
          <xsl:with-param name="amount" select="$fringe/*[local-name()='CompanyCar']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">2.3</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Andere</xsl:with-param>
          <xsl:with-param name="node" select="$fringe/*[local-name()='Other']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">3.</xsl:with-param>
          <xsl:with-param name="label">Unregelmässige Leistungen</xsl:with-param>
          <xsl:with-param name="node" select="$c/*[local-name()='SporadicBenefits']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">4.</xsl:with-param>
          <xsl:with-param name="label">Kapitalleistungen</xsl:with-param>
          <xsl:with-param name="node" select="$c/*[local-name()='CapitalPayment']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">5.</xsl:with-param>
          <xsl:with-param name="label">Beteiligungsrechte gemäss Beiblatt</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='OwnershipRight']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">6.</xsl:with-param>
          <xsl:with-param name="label">Verwaltungsratsentschädigungen</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='BoardOfDirectorsRemuneration']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">7.</xsl:with-param>
          <xsl:with-param name="label">Andere Leistungen</xsl:with-param>
          <xsl:with-param name="node" select="$c/*[local-name()='OtherBenefits']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">8.</xsl:with-param>
          <xsl:with-param name="label">Bruttolohn total / Rente</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='GrossIncome']"/>
          <xsl:with-param name="total" select="true()"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">9.</xsl:with-param>
          <xsl:with-param name="label">Beiträge AHV/IV/EO/ALV/NBUV</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='AHV-ALV-NBUV-AVS-AC-AANP-Contribution']"/>
          <xsl:with-param name="sign">–</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">10.</xsl:with-param>
          <xsl:with-param name="label">Berufliche Vorsorge 2. Säule</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">10.1</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Ordentliche Beiträge</xsl:with-param>
          <xsl:with-param name="amount" select="$bvg/*[local-name()='Regular']"/>
          <xsl:with-param name="sign">–</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">10.2</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Beiträge für den Einkauf</xsl:with-param>
          <xsl:with-param name="amount" select="$bvg/*[local-name()='Purchase']"/>
          <xsl:with-param name="sign">–</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">11.</xsl:with-param>
          <xsl:with-param name="label">Nettolohn / Rente</xsl:with-param>
          <xsl:with-param name="note">in die Steuererklärung übertragen</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='NetIncome']"/>
          <xsl:with-param name="total" select="true()"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">12.</xsl:with-param>
          <xsl:with-param name="label">Quellensteuerabzug</xsl:with-param>
          <xsl:with-param name="amount" select="$c/*[local-name()='DeductionAtSource']"/>
          <xsl:with-param name="gap" select="true()"/>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">13.</xsl:with-param>
          <xsl:with-param name="label">Spesenvergütungen</xsl:with-param>
          <xsl:with-param name="note">nicht im Bruttolohn gemäss Ziffer 8 enthalten</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">13.1</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Effektive Spesen</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.1.1</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Reise, Verpflegung, Übernachtung</xsl:with-param>
          <xsl:with-param name="amount" select="$effective/*[local-name()='TravelFoodAccommodation']"/>
          <xsl:with-param name="check" select="concat('', boolean($effective/*[local-name()='TravelFoodAccommodationCHK']))"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">13.1.2</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Übrige</xsl:with-param>
          <xsl:with-param name="node" select="$effective/*[local-name()='Other']"/>
        </xsl:call-template>
        <xsl:call-template name="heading">
          <xsl:with-param name="num">13.2</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Pauschalspesen</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.2.1</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Repräsentation</xsl:with-param>
          <xsl:with-param name="amount" select="$lumpsum/*[local-name()='Representation']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.2.2</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Auto</xsl:with-param>
          <xsl:with-param name="amount" select="$lumpsum/*[local-name()='Car']"/>
        </xsl:call-template>
        <xsl:call-template name="item-with-text">
          <xsl:with-param name="num">13.2.3</xsl:with-param>
          <xsl:with-param name="level" select="2"/>
          <xsl:with-param name="label">Übrige</xsl:with-param>
          <xsl:with-param name="node" select="$lumpsum/*[local-name()='Other']"/>
        </xsl:call-template>
        <xsl:call-template name="item">
          <xsl:with-param name="num">13.3</xsl:with-param>
          <xsl:with-param name="level" select="1"/>
          <xsl:with-param name="label">Beiträge an die Weiterbildung</xsl:with-param>
          <xsl:with-param name="amount" select="$charges/*[local-name()='Education']"/>
        </xsl:call-template>
        <xsl:call-template name="text-item">
          <xsl:with-param name="num">14.</xsl:with-param>
          <xsl:with-param name="label">Weitere Gehaltsnebenleistungen</xsl:with-param>
          <xsl:with-param name="art" select="true()"/>
          <xsl:with-param name="text" select="normalize-space($c/*[local-name()='OtherFringeBenefits'])"/>
        </xsl:call-template>
        <xsl:call-template name="text-item">
          <xsl:with-param name="num">15.</xsl:with-param>
          <xsl:with-param name="label">Bemerkungen</xsl:with-param>
          <xsl:with-param name="text" select="normalize-space($c/*[local-name()='Remark'])"/>
        </xsl:call-template>
      </fo:table-body>
    </fo:table>
  </xsl:template>

  <!-- An item with an amount. -->
  <xsl:template name="item">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="note" select="''"/>
    <xsl:param name="amount"/>
    <xsl:param name="level" select="0"/>
    <xsl:param name="sign" select="''"/>
    <xsl:param name="total" select="false()"/>
    <xsl:param name="gap" select="false()"/>
    <!-- 'true' or 'false' for the check mark of item 13.1.1, empty for the other items. -->
    <xsl:param name="check" select="''"/>
    <xsl:param name="art" select="false()"/>
    <xsl:param name="art-text" select="''"/>
    <fo:table-row keep-together.within-page="always">
      <xsl:if test="$total">
        <xsl:attribute name="font-weight">bold</xsl:attribute>
      </xsl:if>
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <xsl:call-template name="number">
          <xsl:with-param name="num" select="$num"/>
          <xsl:with-param name="level" select="$level"/>
          <xsl:with-param name="total" select="$total"/>
        </xsl:call-template>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <fo:block start-indent="{$level * 4}mm" end-indent="2mm">
          <xsl:value-of select="$label"/>
          <xsl:if test="$note != ''">
            <fo:inline font-weight="normal" font-size="7.5pt" color="{$label-colour}">
              <xsl:text> – </xsl:text>
              <xsl:value-of select="$note"/>
            </fo:inline>
          </xsl:if>
          <xsl:if test="$art">
            <fo:inline xsl:use-attribute-sets="inline-label"> – Art: </fo:inline>
            <fo:inline xsl:use-attribute-sets="text-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="$art-text"/>
                <xsl:with-param name="width" select="135 - $level * 4"/>
                <xsl:with-param name="size" select="8.5"/>
                <xsl:with-param name="min" select="6"/>
                <xsl:with-param name="lead">
                  <xsl:call-template name="label-width">
                    <xsl:with-param name="label" select="$label"/>
                  </xsl:call-template>
                </xsl:with-param>
              </xsl:call-template>
            </fo:inline>
          </xsl:if>
          <xsl:if test="$check != ''">
            <xsl:text>   </xsl:text>
            <xsl:call-template name="check-mark">
              <xsl:with-param name="set" select="$check = 'true'"/>
              <xsl:with-param name="size">8pt</xsl:with-param>
            </xsl:call-template>
          </xsl:if>
        </fo:block>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <fo:block text-align="center" font-weight="bold"><xsl:value-of select="$sign"/></fo:block>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell amount-cell" display-align="after">
        <xsl:call-template name="row-border">
          <xsl:with-param name="total" select="$total"/>
          <xsl:with-param name="gap" select="$gap"/>
        </xsl:call-template>
        <xsl:attribute name="background-color">
          <xsl:choose>
            <xsl:when test="$total"><xsl:value-of select="$total-colour"/></xsl:when>
            <xsl:otherwise><xsl:value-of select="$field-colour"/></xsl:otherwise>
          </xsl:choose>
        </xsl:attribute>
        <fo:block text-align="end" font-size="9pt">
          <xsl:call-template name="fit">
            <xsl:with-param name="text">
              <xsl:call-template name="amount">
                <xsl:with-param name="value" select="normalize-space($amount)"/>
              </xsl:call-template>
            </xsl:with-param>
            <xsl:with-param name="width" select="28"/>
            <xsl:with-param name="size" select="9"/>
            <xsl:with-param name="min" select="6"/>
          </xsl:call-template>
        </fo:block>
      </fo:table-cell>
    </fo:table-row>
  </xsl:template>

  <!-- An item whose element holds a description (Text) and an amount (Sum). -->
  <xsl:template name="item-with-text">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="node"/>
    <xsl:param name="level" select="0"/>
    <xsl:call-template name="item">
      <xsl:with-param name="num" select="$num"/>
      <xsl:with-param name="label" select="$label"/>
      <xsl:with-param name="level" select="$level"/>
      <xsl:with-param name="amount" select="$node/*[local-name()='Sum']"/>
      <xsl:with-param name="art" select="true()"/>
      <xsl:with-param name="art-text" select="normalize-space($node/*[local-name()='Text'])"/>
    </xsl:call-template>
  </xsl:template>

  <!-- A group heading without an amount of its own (2, 10, 13, 13.1, 13.2). -->
  <xsl:template name="heading">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="note" select="''"/>
    <xsl:param name="level" select="0"/>
    <fo:table-row keep-with-next.within-page="always">
      <fo:table-cell xsl:use-attribute-sets="item-cell">
        <xsl:call-template name="row-border"/>
        <xsl:call-template name="number">
          <xsl:with-param name="num" select="$num"/>
          <xsl:with-param name="level" select="$level"/>
        </xsl:call-template>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell" number-columns-spanned="3">
        <xsl:call-template name="row-border"/>
        <fo:block start-indent="{$level * 4}mm">
          <xsl:value-of select="$label"/>
          <xsl:if test="$note != ''">
            <fo:inline font-size="7.5pt" color="{$label-colour}">
              <xsl:text> (</xsl:text>
              <xsl:value-of select="$note"/>
              <xsl:text>)</xsl:text>
            </fo:inline>
          </xsl:if>
        </fo:block>
      </fo:table-cell>
    </fo:table-row>
  </xsl:template>

  <!-- Items 14 and 15: a text across the whole width, no amount. -->
  <xsl:template name="text-item">
    <xsl:param name="num"/>
    <xsl:param name="label"/>
    <xsl:param name="art" select="false()"/>
    <xsl:param name="text"/>
    <fo:table-row keep-together.within-page="always">
      <fo:table-cell xsl:use-attribute-sets="item-cell" padding-top="1.2mm">
        <xsl:call-template name="row-border"/>
        <xsl:call-template name="number">
          <xsl:with-param name="num" select="$num"/>
        </xsl:call-template>
      </fo:table-cell>
      <fo:table-cell xsl:use-attribute-sets="item-cell" number-columns-spanned="3" padding-top="1.2mm">
        <xsl:call-template name="row-border"/>
        <fo:block end-indent="1.5mm">
          <xsl:value-of select="$label"/>
          <xsl:choose>
            <xsl:when test="$art">
              <fo:inline xsl:use-attribute-sets="inline-label"> – Art: </fo:inline>
            </xsl:when>
            <xsl:otherwise>
              <fo:inline xsl:use-attribute-sets="inline-label">: </fo:inline>
            </xsl:otherwise>
          </xsl:choose>
          <fo:inline xsl:use-attribute-sets="text-value">
            <xsl:call-template name="fit">
              <xsl:with-param name="text" select="$text"/>
              <xsl:with-param name="width" select="171"/>
              <xsl:with-param name="lines" select="3"/>
              <xsl:with-param name="size" select="8.5"/>
              <xsl:with-param name="min" select="6"/>
              <xsl:with-param name="lead">
                <xsl:call-template name="label-width">
                  <xsl:with-param name="label" select="$label"/>
                </xsl:call-template>
              </xsl:with-param>
            </xsl:call-template>
          </fo:inline>
        </fo:block>
      </fo:table-cell>
    </fo:table-row>
  </xsl:template>

  <xsl:template name="number">
    <xsl:param name="num"/>
    <xsl:param name="level" select="0"/>
    <xsl:param name="total" select="false()"/>
    <fo:block>
      <xsl:choose>
        <xsl:when test="$level = 0 or $total">
          <xsl:attribute name="font-weight">bold</xsl:attribute>
        </xsl:when>
        <xsl:otherwise>
          <xsl:attribute name="color"><xsl:value-of select="$label-colour"/></xsl:attribute>
        </xsl:otherwise>
      </xsl:choose>
      <xsl:value-of select="$num"/>
    </fo:block>
  </xsl:template>

  <!-- Thin rule under every item; the totals get a strong rule above, 12 some air above. -->
  <xsl:template name="row-border">
    <xsl:param name="total" select="false()"/>
    <xsl:param name="gap" select="false()"/>
    <xsl:attribute name="border-bottom">
      <xsl:value-of select="concat('0.3pt solid ', $rule-colour)"/>
    </xsl:attribute>
    <xsl:if test="$total">
      <xsl:attribute name="border-top">0.9pt solid #000000</xsl:attribute>
      <xsl:attribute name="border-bottom">0.9pt solid #000000</xsl:attribute>
      <xsl:attribute name="padding-top">1mm</xsl:attribute>
      <xsl:attribute name="padding-bottom">1mm</xsl:attribute>
    </xsl:if>
    <xsl:if test="$gap">
      <xsl:attribute name="padding-top">1.6mm</xsl:attribute>
    </xsl:if>
  </xsl:template>

  <!-- ============================================================ box I -->
  <xsl:template name="employer">
    <xsl:param name="company"/>
    <xsl:param name="general"/>
    <xsl:variable name="addr" select="$company/*[local-name()='Address']"/>
    <xsl:variable name="contact" select="$general/*[local-name()='ContactPerson']"/>
    <fo:table table-layout="fixed" width="100%" border-collapse="collapse" border-top="1.2pt solid #000000">
      <fo:table-column column-width="50mm"/>
      <fo:table-column column-width="134mm"/>
      <fo:table-body>
        <fo:table-row>
          <fo:table-cell padding-top="1.5mm" padding-right="3mm">
            <xsl:call-template name="caption">
              <xsl:with-param name="letter">I</xsl:with-param>
              <xsl:with-param name="label">Ort und Datum</xsl:with-param>
            </xsl:call-template>
            <fo:block xsl:use-attribute-sets="head-value">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($general/*[local-name()='CityDate'])"/>
                <xsl:with-param name="width" select="46"/>
                <xsl:with-param name="lines" select="2"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="7"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
          <fo:table-cell padding-top="1.5mm" padding-left="3mm" border-left="0.3pt solid {$rule-colour}">
            <fo:block xsl:use-attribute-sets="caption">
              <xsl:text>Die Richtigkeit und Vollständigkeit bestätigt inkl. genauer Anschrift und Telefonnummer des Arbeitgebers</xsl:text>
            </fo:block>
            <fo:block font-size="9.5pt" font-weight="bold" space-before="1.5mm">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($company/*[local-name()='Name']/*[local-name()='HR-RC-Name'])"/>
                <xsl:with-param name="width" select="130"/>
                <xsl:with-param name="size" select="9.5"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
            <fo:block font-size="9pt">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='Street'])"/>
                <xsl:with-param name="width" select="130"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
            <fo:block font-size="9pt">
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($addr/*[local-name()='ZIP-City'])"/>
                <xsl:with-param name="width" select="130"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6.5"/>
              </xsl:call-template>
            </fo:block>
            <fo:block font-size="9pt" space-before="1mm">
              <fo:inline xsl:use-attribute-sets="inline-label">Auskunft: </fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($contact/*[local-name()='Name'])"/>
                <xsl:with-param name="width" select="60"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6"/>
              </xsl:call-template>
              <fo:leader leader-pattern="space" leader-length="6mm"/>
              <fo:inline xsl:use-attribute-sets="inline-label">Telefon: </fo:inline>
              <xsl:call-template name="fit">
                <xsl:with-param name="text" select="normalize-space($contact/*[local-name()='PhoneNumber'])"/>
                <xsl:with-param name="width" select="38"/>
                <xsl:with-param name="size" select="9"/>
                <xsl:with-param name="min" select="6"/>
              </xsl:call-template>
            </fo:block>
          </fo:table-cell>
        </fo:table-row>
      </fo:table-body>
    </fo:table>
    <fo:block font-size="6.5pt" color="#707070" text-align="end" space-before="1.5mm">
      <xsl:text>Erstellt am </xsl:text>
      <xsl:call-template name="date">
        <xsl:with-param name="value" select="normalize-space($general/*[local-name()='CreationDate'])"/>
      </xsl:call-template>
    </fo:block>
  </xsl:template>

  <!-- ============================================================ small parts -->

  <!-- A box letter on a dark ground, as the form marks its boxes. -->
  <xsl:template name="letter">
    <xsl:param name="letter"/>
    <fo:inline font-weight="bold" font-size="7pt" color="#ffffff" background-color="#3a3a3a"
               padding-left="0.7mm" padding-right="0.7mm" padding-top="0.1mm" padding-bottom="0.1mm">
      <xsl:value-of select="$letter"/>
    </fo:inline>
  </xsl:template>

  <xsl:template name="caption">
    <xsl:param name="letter" select="''"/>
    <xsl:param name="label"/>
    <fo:block xsl:use-attribute-sets="caption">
      <xsl:if test="$letter != ''">
        <xsl:call-template name="letter">
          <xsl:with-param name="letter" select="$letter"/>
        </xsl:call-template>
        <xsl:text>  </xsl:text>
      </xsl:if>
      <xsl:value-of select="$label"/>
    </fo:block>
  </xsl:template>

  <xsl:template name="check-mark">
    <xsl:param name="set"/>
    <xsl:param name="size">10pt</xsl:param>
    <fo:inline font-family="{$mark-font}" font-size="{$size}" font-weight="normal">
      <xsl:choose>
        <xsl:when test="$set">&#x2612;</xsl:when>
        <xsl:otherwise>&#x2610;</xsl:otherwise>
      </xsl:choose>
    </fo:inline>
  </xsl:template>

  <xsl:template name="check-line">
    <xsl:param name="letter"/>
    <xsl:param name="set"/>
    <xsl:param name="label"/>
    <fo:block font-size="8.5pt" line-height="1.45">
      <xsl:call-template name="letter">
        <xsl:with-param name="letter" select="$letter"/>
      </xsl:call-template>
      <xsl:text>  </xsl:text>
      <xsl:call-template name="check-mark">
        <xsl:with-param name="set" select="$set"/>
      </xsl:call-template>
      <xsl:text> </xsl:text>
      <xsl:value-of select="$label"/>
    </fo:block>
  </xsl:template>

  <!-- yyyy-mm-dd as dd.mm.yyyy; anything else as it stands, so that no date is ever invented. -->
  <xsl:template name="date">
    <xsl:param name="value"/>
    <xsl:choose>
      <xsl:when test="string-length($value) = 10 and substring($value, 5, 1) = '-' and substring($value, 8, 1) = '-'
                      and translate($value, '0123456789', '') = '--'">
        <xsl:value-of select="concat(substring($value, 9, 2), '.', substring($value, 6, 2), '.', substring($value, 1, 4))"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$value"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ============================================================ amounts -->

  <!-- An amount with the apostrophe as thousands separator (106800 as 106'800, -1234.5 as -1'234.5); the
       decimals exactly as the document gives them. Anything that is not a plain decimal number prints
       as it stands, so that no figure is ever changed by the layout. -->
  <xsl:template name="amount">
    <xsl:param name="value"/>
    <xsl:variable name="sign" select="substring($value, 1, 1)"/>
    <xsl:variable name="unsigned">
      <xsl:choose>
        <xsl:when test="$sign = '-' or $sign = '+'"><xsl:value-of select="substring($value, 2)"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="$value"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="whole">
      <xsl:choose>
        <xsl:when test="contains($unsigned, '.')"><xsl:value-of select="substring-before($unsigned, '.')"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="$unsigned"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="fraction" select="substring-after($unsigned, '.')"/>
    <xsl:choose>
      <xsl:when test="$whole != '' and translate($whole, '0123456789', '') = ''
                      and (not(contains($unsigned, '.')) or ($fraction != '' and translate($fraction, '0123456789', '') = ''))">
        <xsl:if test="$sign = '-'">-</xsl:if>
        <xsl:call-template name="group-thousands">
          <xsl:with-param name="digits" select="$whole"/>
        </xsl:call-template>
        <xsl:if test="contains($unsigned, '.')">
          <xsl:value-of select="concat('.', $fraction)"/>
        </xsl:if>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$value"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="group-thousands">
    <xsl:param name="digits"/>
    <xsl:variable name="n" select="string-length($digits)"/>
    <xsl:choose>
      <xsl:when test="$n &gt; 3">
        <xsl:call-template name="group-thousands">
          <xsl:with-param name="digits" select="substring($digits, 1, $n - 3)"/>
        </xsl:call-template>
        <xsl:value-of select="concat(&quot;'&quot;, substring($digits, $n - 2))"/>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$digits"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ============================================================ fitting texts into their boxes -->
  <!--
    FOP neither shrinks a text to its box nor cuts it: a long name would push the footer out of its
    region or run over the next box. So every text from the database is fitted here, before FOP sees
    it: it wraps onto at most `lines` lines of `width` mm, at the font size `size` when it fits, else at
    the largest size down to `min` that fits, else at `min` and cut with "…".

    The width of a text is estimated from the advance widths of Liberation Sans (regular and bold, the
    wider of the two), class by class, in thousandths of an em; characters outside the classes count
    as one full em and a bit. The estimate is never smaller than the text FOP sets, so a text judged
    to fit on one line does fit. On several lines, wrapping at word ends loses part of a line; a
    reserve per line covers it, and words too long for that get break opportunities.
  -->
  <xsl:variable name="w280"> .,:;!|'ijlI</xsl:variable>
  <xsl:variable name="w389">ftr-()[]/\*`{}ìíîïı</xsl:variable>
  <xsl:variable name="w611">abcdeghknopqsuvxyz0123456789$#_?+=&lt;&gt;~^"äöüàáâãåçèéêëñòóôõøùúûýÿčćďěňřšťžźżłőűąęńśů</xsl:variable>
  <xsl:variable name="w722">ABCDEFHJKLNPRSTUVXYZ&amp;ÄÀÁÂÃÅÇÈÉÊËÑÙÚÛÜÝČĆĎĚŇŘŠŤŽŹŻŁŰĄĘŃŚŮ</xsl:variable>
  <xsl:variable name="w778">GOQwÖÓÒÔÕØŐ</xsl:variable>
  <xsl:variable name="w889">mM%</xsl:variable>
  <xsl:variable name="pt-per-mm" select="72 div 25.4"/>
  <!-- Reserve per wrapped line for the word that did not fit any more, in em. -->
  <xsl:variable name="wrap-reserve" select="5"/>

  <!-- The estimated width of a text in em. -->
  <xsl:template name="em-width">
    <xsl:param name="text"/>
    <xsl:variable name="n" select="string-length($text)"/>
    <xsl:variable name="c280" select="$n - string-length(translate($text, $w280, ''))"/>
    <xsl:variable name="c389" select="$n - string-length(translate($text, $w389, ''))"/>
    <xsl:variable name="c611" select="$n - string-length(translate($text, $w611, ''))"/>
    <xsl:variable name="c722" select="$n - string-length(translate($text, $w722, ''))"/>
    <xsl:variable name="c778" select="$n - string-length(translate($text, $w778, ''))"/>
    <xsl:variable name="c889" select="$n - string-length(translate($text, $w889, ''))"/>
    <xsl:variable name="rest" select="$n - $c280 - $c389 - $c611 - $c722 - $c778 - $c889"/>
    <xsl:value-of select="(280 * $c280 + 389 * $c389 + 611 * $c611 + 722 * $c722 + 778 * $c778 + 889 * $c889
                          + 1020 * $rest) div 1000"/>
  </xsl:template>

  <!--
    The text fitted into its box, as an fo:inline; the caller supplies the block. `lead` is the width
    in pt that other text takes on the first line (a label in front of it).
  -->
  <xsl:template name="fit">
    <xsl:param name="text"/>
    <xsl:param name="width"/>
    <xsl:param name="lines" select="1"/>
    <xsl:param name="size"/>
    <xsl:param name="min"/>
    <xsl:param name="lead" select="0"/>
    <xsl:variable name="em">
      <xsl:call-template name="em-width">
        <xsl:with-param name="text" select="$text"/>
      </xsl:call-template>
    </xsl:variable>
    <!-- Room in pt, and the em that the wrap reserve takes away from it. -->
    <xsl:variable name="room" select="$lines * $width * $pt-per-mm - $lead"/>
    <xsl:variable name="reserve" select="($lines - 1) * $wrap-reserve"/>
    <xsl:variable name="largest" select="floor(4 * $room div ($em + $reserve)) div 4"/>
    <xsl:variable name="font-size">
      <xsl:choose>
        <xsl:when test="$largest &gt;= $size"><xsl:value-of select="$size"/></xsl:when>
        <xsl:when test="$largest &gt;= $min"><xsl:value-of select="$largest"/></xsl:when>
        <xsl:otherwise><xsl:value-of select="$min"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <fo:inline font-size="{$font-size}pt">
      <xsl:choose>
        <xsl:when test="$largest &gt;= $min">
          <xsl:call-template name="breakable">
            <xsl:with-param name="text" select="$text"/>
            <xsl:with-param name="lines" select="$lines"/>
          </xsl:call-template>
        </xsl:when>
        <xsl:otherwise>
          <!-- What fits at the minimum size, with room for the ellipsis (about one em). -->
          <xsl:variable name="keep">
            <xsl:call-template name="prefix-length">
              <xsl:with-param name="text" select="$text"/>
              <xsl:with-param name="em" select="$room div $min - $reserve - 1.02"/>
              <xsl:with-param name="low" select="0"/>
              <xsl:with-param name="high" select="string-length($text)"/>
            </xsl:call-template>
          </xsl:variable>
          <xsl:call-template name="breakable">
            <xsl:with-param name="text" select="normalize-space(substring($text, 1, $keep))"/>
            <xsl:with-param name="lines" select="$lines"/>
          </xsl:call-template>
          <xsl:text>…</xsl:text>
        </xsl:otherwise>
      </xsl:choose>
    </fo:inline>
  </xsl:template>

  <!-- The width in pt of an item's label at 8.5 pt and of " – Art: " at 7.5 pt in front of its text. -->
  <xsl:template name="label-width">
    <xsl:param name="label"/>
    <xsl:variable name="label-em">
      <xsl:call-template name="em-width">
        <xsl:with-param name="text" select="$label"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="art-em">
      <xsl:call-template name="em-width">
        <xsl:with-param name="text" select="' – Art: '"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:value-of select="$label-em * 8.5 + $art-em * 7.5"/>
  </xsl:template>

  <!-- The length of the longest start of the text that is at most `em` wide (binary search; the
       longest known to fit is `low`, the shortest known not to fit is above `high`). -->
  <xsl:template name="prefix-length">
    <xsl:param name="text"/>
    <xsl:param name="em"/>
    <xsl:param name="low"/>
    <xsl:param name="high"/>
    <xsl:choose>
      <xsl:when test="$low &gt;= $high"><xsl:value-of select="$low"/></xsl:when>
      <xsl:otherwise>
        <xsl:variable name="middle" select="ceiling(($low + $high) div 2)"/>
        <xsl:variable name="middle-em">
          <xsl:call-template name="em-width">
            <xsl:with-param name="text" select="substring($text, 1, $middle)"/>
          </xsl:call-template>
        </xsl:variable>
        <xsl:call-template name="prefix-length">
          <xsl:with-param name="text" select="$text"/>
          <xsl:with-param name="em" select="$em"/>
          <xsl:with-param name="low" select="$low + ($middle - $low) * number($middle-em &lt;= $em)"/>
          <xsl:with-param name="high" select="$middle - 1 + ($high - $middle + 1) * number($middle-em &lt;= $em)"/>
        </xsl:call-template>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- On several lines, a word longer than the wrap reserve gets a break opportunity (a zero-width
       space) after every ten characters, so that wrapping never leaves more than the reserve unused. -->
  <xsl:template name="breakable">
    <xsl:param name="text"/>
    <xsl:param name="lines"/>
    <xsl:choose>
      <xsl:when test="$lines &lt;= 1">
        <xsl:value-of select="$text"/>
      </xsl:when>
      <xsl:when test="contains($text, ' ')">
        <xsl:call-template name="breakable-word">
          <xsl:with-param name="word" select="substring-before($text, ' ')"/>
        </xsl:call-template>
        <xsl:text> </xsl:text>
        <xsl:call-template name="breakable">
          <xsl:with-param name="text" select="substring-after($text, ' ')"/>
          <xsl:with-param name="lines" select="$lines"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise>
        <xsl:call-template name="breakable-word">
          <xsl:with-param name="word" select="$text"/>
        </xsl:call-template>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="breakable-word">
    <xsl:param name="word"/>
    <xsl:choose>
      <xsl:when test="string-length($word) &gt; 12">
        <xsl:value-of select="substring($word, 1, 10)"/>
        <xsl:text>&#x200B;</xsl:text>
        <xsl:call-template name="breakable-word">
          <xsl:with-param name="word" select="substring($word, 11)"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise>
        <xsl:value-of select="$word"/>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- ============================================================ attribute sets -->
  <xsl:attribute-set name="head-cell">
    <xsl:attribute name="border">0.4pt solid #7a7a7a</xsl:attribute>
    <xsl:attribute name="padding">1.2mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="caption">
    <xsl:attribute name="font-size">7pt</xsl:attribute>
    <xsl:attribute name="color">#303030</xsl:attribute>
    <xsl:attribute name="line-height">1.3</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="head-value">
    <xsl:attribute name="font-size">9.5pt</xsl:attribute>
    <xsl:attribute name="space-before">0.6mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="inline-label">
    <xsl:attribute name="font-size">7.5pt</xsl:attribute>
    <xsl:attribute name="font-weight">normal</xsl:attribute>
    <xsl:attribute name="color">#303030</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="text-value">
    <xsl:attribute name="font-size">8.5pt</xsl:attribute>
    <xsl:attribute name="font-style">italic</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="item-cell">
    <xsl:attribute name="padding-top">0.5mm</xsl:attribute>
    <xsl:attribute name="padding-bottom">0.5mm</xsl:attribute>
  </xsl:attribute-set>

  <xsl:attribute-set name="amount-cell">
    <xsl:attribute name="padding-right">1.5mm</xsl:attribute>
    <xsl:attribute name="padding-left">1mm</xsl:attribute>
  </xsl:attribute-set>

</xsl:stylesheet>
